// Modular powers for any exponent size, and the reduction of short expressions modulo runs of
// factors: a rewriting of the text for any input, and a compiled form in machine words for
// well-formed expressions and factors below 2^63 (the window's case), with identical results.
#include "tools/modulo/modulo.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <optional>
#include <utility>

#include "bigint/bigint.h"
#include "core/progress.h"
#include "numtheory/big.h"
#include "numtheory/word.h"

namespace modulo {

namespace {

using u64 = uint64_t;
using numtheory::MulMod64;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t digitCount(const TBigInt& A) { return (size_t)A.Digits[0]; }

// The magnitude of M when it is below 2^63 (so sums of two residues never overflow a word).
std::optional<u64> wordValue(const TBigInt& M) {
    const size_t n = digitCount(M);
    if (n > 3 || (n == 3 && M.Digits[3] > 1)) return std::nullopt;
    return numtheory::DigitsLow64(M.Digits.data() + 1, n);
}

// Calls f(bit) for the bits of |E| from the highest set bit down to bit 0.
template <typename F>
void forEachBitFromTop(const TBigInt& E, F&& f) {
    const size_t n = digitCount(E);
    bool started = false;
    for (size_t i = n; i >= 1; --i) {
        const u64 d = (u64)E.Digits[i];
        for (int b = 30; b >= 0; --b) {
            const bool bit = (d >> b) & 1;
            started = started || bit;
            if (started) f(bit);
        }
    }
}

// b^|E| mod M for b < M < 2^63. M = 2^k * m with m odd: Montgomery modulo m, wrapping words
// modulo 2^k, joined by the Chinese remainder theorem (an even modulus has no Montgomery form).
u64 powModWord(u64 b, const TBigInt& E, u64 M) {
    if (M == 1) return 0;
    const int k = __builtin_ctzll(M);
    const u64 m = M >> k;
    u64 oddPart = 0;
    if (m > 1) {
        const numtheory::Mont64 ring(m);
        const u64 x = ring.enter(b % m);
        u64 y = ring.one();
        forEachBitFromTop(E, [&](bool bit) {
            y = ring.mul(y, y);
            if (bit) y = ring.mul(y, x);
        });
        oddPart = ring.leave(y);
    }
    if (k == 0) return oddPart;
    // Modulo 2^k (k <= 62) only the low 64 bits of the exponent matter: an odd base's order
    // divides 2^(k-2), and an even base raised to 64 or more is 0.
    const u64 mask = (u64{1} << k) - 1;
    const size_t n = digitCount(E);
    u64 e = numtheory::DigitsLow64(E.Digits.data() + 1, n);
    u64 twoPart = 0;
    if ((b & 1) || (n == 1 && e < 64)) {
        u64 z = 1, x = b;
        for (; e; e >>= 1) {
            if (e & 1) z *= x;
            x *= x;
        }
        twoPart = z & mask;
    }
    if (m == 1) return twoPart;
    // x = oddPart + m*t with m*t = twoPart - oddPart (mod 2^k); x < m*2^k = M.
    const u64 t = ((twoPart - oddPart) * numtheory::InverseMod2to64(m)) & mask;
    return oddPart + m * t;
}

TBigInt wordBig(u64 v) { return BigFromInt((int64_t)v); }

TBigInt one() { return BigFromInt(1); }

std::string decimal(const TBigInt& A) { return BigToDecimal(A); }

// A well-formed expression: an optional leading "-", then numbers joined by single operators.
// Terms are signed products of factors; a factor is a base raised in turn to each exponent.
class CompiledExpression {
public:
    static std::optional<CompiledExpression> compile(std::string_view t) {
        CompiledExpression c;
        size_t i = 0;
        const auto number = [&]() -> std::optional<std::string_view> {
            const size_t s = i;
            while (i < t.size() && isDigit(t[i])) ++i;
            if (i == s) return std::nullopt;
            return t.substr(s, i - s);
        };
        Term term;
        if (i < t.size() && t[i] == '-') {
            term.negative = true;
            ++i;
        }
        auto first = number();
        if (!first) return std::nullopt;
        Factor factor{literal(*first), {}};
        while (i < t.size()) {
            const char op = t[i++];
            auto next = number();
            if (!next) return std::nullopt;
            switch (op) {
            case '^': {
                TBigInt e;
                BigFromDecimal(*next, e);
                factor.exponents.push_back(std::move(e));
                break;
            }
            case '*':
                term.factors.push_back(std::move(factor));
                factor = Factor{literal(*next), {}};
                break;
            case '+':
            case '-':
                term.factors.push_back(std::move(factor));
                c.terms_.push_back(std::move(term));
                term = Term{};
                term.negative = op == '-';
                factor = Factor{literal(*next), {}};
                break;
            default:
                return std::nullopt;
            }
        }
        term.factors.push_back(std::move(factor));
        c.terms_.push_back(std::move(term));
        return c;
    }

    // The value modulo M, 1 <= M < 2^63.
    u64 reduce(u64 M) const {
        u64 sum = 0;
        for (const Term& term : terms_) {
            u64 product = 1 % M;
            for (const Factor& f : term.factors) {
                u64 x = residue(f.base, M);
                for (const TBigInt& e : f.exponents) x = powModWord(x, e, M);
                product = MulMod64(product, x, M);
            }
            if (term.negative) sum = sum >= product ? sum - product : sum + (M - product);
            else sum = sum + product >= M ? sum + product - M : sum + product;
        }
        return sum;
    }

private:
    // A decimal literal as 18-digit chunks, most significant first: (value, 10^length).
    using Literal = std::vector<std::pair<u64, u64>>;
    struct Factor {
        Literal base;
        std::vector<TBigInt> exponents;
    };
    struct Term {
        bool negative = false;
        std::vector<Factor> factors;
    };

    static Literal literal(std::string_view digits) {
        Literal l;
        size_t head = digits.size() % 18;
        if (head == 0) head = 18;
        for (size_t s = 0; s < digits.size(); s = s == 0 ? head : s + 18) {
            const size_t len = s == 0 ? head : 18;
            u64 v = 0, p = 1;
            for (size_t j = s; j < s + len; ++j) {
                v = v * 10 + (u64)(digits[j] - '0');
                p *= 10;
            }
            l.emplace_back(v, p);
        }
        return l;
    }
    static u64 residue(const Literal& l, u64 M) {
        u64 r = 0;
        for (auto [v, p] : l) r = numtheory::MulAddMod64(r, p, v, M);
        return r;
    }

    std::vector<Term> terms_;
};

}  // namespace

void ChunkedPowMod(const TBigInt& B, const TBigInt& E, const TBigInt& M, TBigInt& R) {
    if (M.Sign == Negative || BigIsZero(M)) throw BigError("The modulus must be at least 1");
    TBigInt result;
    if (auto m = wordValue(M)) {
        u64 b = numtheory::BigResidue(B, *m);
        if (B.Sign == Negative && b != 0) b = *m - b;
        result = wordBig(powModWord(b, E, *m));
    } else if (BigIsOdd(M)) {
        BigMontPowMod(B, E, M, result);
    } else {
        // Even moduli beyond a word: plain square-and-multiply on residues.
        TBigInt base, acc = one(), t;
        BigMod(B, M, base);
        forEachBitFromTop(E, [&](bool bit) {
            BigSquareMod(acc, M, t);
            acc = std::move(t);
            if (bit) {
                BigMulMod(acc, base, M, t);
                acc = std::move(t);
            }
        });
        BigMod(acc, M, result);
    }
    if (BigIsZero(result)) result.Sign = Positive;
    R = std::move(result);
}

namespace {

// One operation L op R on two operand texts, and the cheap check made every 65536 characters.
using Operation = std::function<std::string(std::string_view, std::string_view, char)>;
using Scanning = std::function<void()>;

// The text is rewritten one operation at a time, always at the leftmost operator of the kind
// `op`, its operands being the runs of digits beside it. Everything left of that operator is
// final for the pass, so the pass reads the text once: `out` holds what lies left of the
// reading point.
std::string powerOrProductPass(const std::string& t, char op, const Operation& apply, const Scanning& scanning) {
    std::string out;
    out.reserve(t.size());
    for (size_t i = 0; i < t.size();) {
        scanning();
        if (t[i] != op) {
            out.push_back(t[i++]);
            continue;
        }
        size_t a = out.size(), b = i + 1;
        while (a > 0 && isDigit(out[a - 1])) --a;
        while (b < t.size() && isDigit(t[b])) ++b;
        // A power or a product is a plain decimal number: no operator of this pass in it.
        const std::string v = apply(std::string_view(out).substr(a), std::string_view(t).substr(i + 1, b - i - 1), op);
        out.resize(a);
        out += v;
        i = b;
    }
    return out;
}

// "+" and "-" with equal precedence, from the left. A "-" with no digit before it is the sign
// of the first term, which then belongs to the left operand of the next operation. A result may
// be negative, so the reading goes on at the start of the result: `rest` holds the unread text
// reversed (its end is the next character).
std::string sumPass(const std::string& t, const Operation& apply, const Scanning& scanning) {
    std::string out, rest(t.rbegin(), t.rend());
    out.reserve(t.size());
    size_t digitsOut = 0;   // digits in `out`: whether a digit stands before the reading point
    while (!rest.empty()) {
        scanning();
        const char c = rest.back();
        if (!(c == '+' || (c == '-' && digitsOut > 0))) {
            out.push_back(c);
            digitsOut += isDigit(c);
            rest.pop_back();
            continue;
        }
        const size_t pos = out.size(), opAt = rest.size() - 1;
        size_t a = pos, right = 0;
        while (a > 0 && isDigit(out[a - 1])) --a;
        while (right < opAt && isDigit(rest[opAt - 1 - right])) ++right;
        if (a > 0 && out[a - 1] == '-' && a < pos && digitsOut == pos - a) --a;
        const std::string r(rest.rbegin() + 1, rest.rbegin() + 1 + (std::ptrdiff_t)right);
        const std::string v = apply(std::string_view(out).substr(a), r, c);
        for (size_t k = a; k < pos; ++k) digitsOut -= isDigit(out[k]);
        out.resize(a);
        rest.resize(opAt - right);
        rest.append(v.rbegin(), v.rend());
    }
    return out;
}

}  // namespace

std::string ReduceExpression(std::string_view expression, const TBigInt& M, const Progress* progress) {
    const TBigInt unit = one();
    const auto reduced = [&](const TBigInt& x) {
        TBigInt r;
        ChunkedPowMod(x, unit, M, r);
        return r;
    };
    // The operation L op R on two operand texts (an empty one fails as its conversion does).
    const Operation apply = [&](std::string_view l, std::string_view r, char op) {
        if (progress) progress->check();
        TBigInt L, R, V;
        BigFromDecimal(l, L);
        BigFromDecimal(r, R);
        switch (op) {
        case '^': ChunkedPowMod(L, R, M, V); break;
        case '*': BigMul(reduced(L), reduced(R), V); break;
        case '+': BigAdd(reduced(L), reduced(R), V); break;
        default: BigSub(reduced(L), reduced(R), V); break;
        }
        return decimal(V);
    };
    size_t scanned = 0;
    const Scanning scanning = [&] {
        if (progress && (++scanned & 0xFFFF) == 0) progress->check();
    };

    std::string t(expression);
    for (char op : {'^', '*'}) t = powerOrProductPass(t, op, apply, scanning);
    const std::string out = sumPass(t, apply, scanning);
    if (progress) progress->check();
    TBigInt value;
    BigFromDecimal(out, value);
    return decimal(reduced(value));
}

int64_t RunEnd(int64_t first, int64_t more) {
    return first > std::numeric_limits<int64_t>::max() - more ? std::numeric_limits<int64_t>::max() : first + more;
}

void ReduceOverFactors(std::string_view expression, int64_t first, int64_t last, Progress& progress,
                       std::vector<std::string>& lines) {
    if (first < 1 || last < first) return;
    const std::optional<CompiledExpression> compiled = CompiledExpression::compile(expression);
    const double count = (double)(last - first) + 1;
    progress.report(0, "Factor " + std::to_string(first));
    for (int64_t f = first;; ++f) {
        progress.check();
        if (compiled) lines.push_back(std::to_string(compiled->reduce((u64)f)));
        else lines.push_back(ReduceExpression(expression, BigFromInt(f), &progress));
        const int64_t done = f - first + 1;
        if (done % 256 == 0) progress.report((double)done / count, "Factor " + std::to_string(f + 1));
        if (f == last) break;   // also ends a run that reaches the largest 64-bit value
    }
}

}  // namespace modulo
