// Negacyclic "right-angle" complex FFT convolution: a length-N complex transform multiplies
// numbers of up to 2N pieces, so no real-to-complex post-processing and no bit reversal is
// needed (forward decimation in frequency, inverse decimation in time).
#include "bigint/fft.h"

#include "bigint/mag.h"

#include <cmath>
#include <memory>
#include <numbers>

namespace bigfft {
namespace {

// Twiddles of every level stored contiguously: level of half-size h uses wr/wi[h .. 2h).
struct Plan {
    size_t n = 0;
    std::vector<double> wr, wi;    // e^{-2 pi i j / (2h)}
    std::vector<double> zr, zi;    // right-angle weights e^{i pi j / (2n)}
    explicit Plan(size_t size) : n(size), wr(size), wi(size), zr(size), zi(size) {
        for (size_t h = 1; h < n; h *= 2)
            for (size_t j = 0; j < h; ++j) {
                // Computed directly (not by recurrence) so every twiddle is correctly rounded.
                long double ang = -std::numbers::pi_v<long double> * (long double)j / (long double)h;
                wr[h + j] = (double)std::cos(ang);
                wi[h + j] = (double)std::sin(ang);
            }
        for (size_t j = 0; j < n; ++j) {
            long double ang = std::numbers::pi_v<long double> * (long double)j / (2.0L * (long double)n);
            zr[j] = (double)std::cos(ang);
            zi[j] = (double)std::sin(ang);
        }
    }
};

const Plan& planFor(size_t n) {
    // One cache per thread: long computations run on worker threads.
    thread_local std::vector<std::unique_ptr<Plan>> plans;
    for (auto& p : plans)
        if (p->n == n) return *p;
    if (plans.size() > 8) plans.erase(plans.begin());
    plans.push_back(std::make_unique<Plan>(n));
    return *plans.back();
}

void forward(const Plan& p, double* re, double* im) {
    const size_t n = p.n;
    for (size_t h = n / 2; h >= 1; h /= 2) {
        const double* wr = p.wr.data() + h;
        const double* wi = p.wi.data() + h;
        for (size_t s = 0; s < n; s += 2 * h) {
            double* ar = re + s; double* ai = im + s;
            double* br = re + s + h; double* bi = im + s + h;
            for (size_t j = 0; j < h; ++j) {
                double ur = ar[j], ui = ai[j], vr = br[j], vi = bi[j];
                ar[j] = ur + vr; ai[j] = ui + vi;
                double dr = ur - vr, di = ui - vi;
                br[j] = dr * wr[j] - di * wi[j];
                bi[j] = dr * wi[j] + di * wr[j];
            }
        }
    }
}

void inverse(const Plan& p, double* re, double* im) {
    const size_t n = p.n;
    for (size_t h = 1; h < n; h *= 2) {
        const double* wr = p.wr.data() + h;
        const double* wi = p.wi.data() + h;
        for (size_t s = 0; s < n; s += 2 * h) {
            double* ar = re + s; double* ai = im + s;
            double* br = re + s + h; double* bi = im + s + h;
            for (size_t j = 0; j < h; ++j) {
                // multiply by the conjugate twiddle
                double vr = br[j] * wr[j] + bi[j] * wi[j];
                double vi = bi[j] * wr[j] - br[j] * wi[j];
                double ur = ar[j], ui = ai[j];
                ar[j] = ur + vr; ai[j] = ui + vi;
                br[j] = ur - vr; bi[j] = ui - vi;
            }
        }
    }
}

// Splits a number into balanced pieces of `bits` bits (values in [-2^(bits-1), 2^(bits-1))),
// which keeps the convolution sums small and the rounding error low.
size_t pieces(const int64_t* a, size_t na, int bits, std::vector<int64_t>& out) {
    const size_t total = 31 * na;
    const size_t np = (total + bits - 1) / bits + 1;
    out.assign(np, 0);
    const int64_t full = int64_t{1} << bits, half = full >> 1, mask = full - 1;
    int64_t carry = 0;
    for (size_t k = 0; k + 1 < np; ++k) {
        size_t pos = k * (size_t)bits;
        size_t d = pos / 31, off = pos % 31;
        uint64_t w = (uint64_t)a[d] >> off;
        int got = 31 - (int)off;
        if (got < bits && d + 1 < na) w |= (uint64_t)a[d + 1] << got;
        got += 31;
        if (got < bits && d + 2 < na) w |= (uint64_t)a[d + 2] << got;
        int64_t v = (int64_t)(w & (uint64_t)mask) + carry;
        if (v >= half) { v -= full; carry = 1; } else carry = 0;
        out[k] = v;
    }
    out[np - 1] = carry;
    return np;
}

bool convolve(const int64_t* a, size_t na, const int64_t* b, size_t nb, bool square, int64_t* out) {
    const size_t bitsTotal = 31 * (na + nb);
    // Largest piece size that is safe: 2*bits + log2(pieces) stays well inside a double.
    int maxBits = 20;
    while (maxBits > 8) {
        double m = (double)bitsTotal / maxBits + 2;
        if (2.0 * maxBits + std::log2(m) <= 48.0) break;
        --maxBits;
    }
    size_t need = bitsTotal / (size_t)maxBits + 4;
    size_t n = 1;
    while (2 * n < need) n *= 2;
    // Within that transform length, the smallest piece size gives the most headroom.
    int bits = maxBits;
    while (bits > 8 && 31 * na / (size_t)(bits - 1) + 31 * nb / (size_t)(bits - 1) + 4 <= 2 * n) --bits;

    for (; bits >= 8; --bits) {
        std::vector<int64_t> pa, pb;
        size_t npa = pieces(a, na, bits, pa);
        size_t npb = square ? npa : pieces(b, nb, bits, pb);
        while (npa + npb > 2 * n) n *= 2;
        const Plan& p = planFor(n);
        std::vector<double> ar(n, 0.0), ai(n, 0.0), br, bi;
        auto load = [&](const std::vector<int64_t>& src, size_t np, double* re, double* im) {
            for (size_t j = 0; j < n; ++j) {
                double x = j < np ? (double)src[j] : 0.0;
                double y = j + n < np ? (double)src[j + n] : 0.0;
                re[j] = x * p.zr[j] - y * p.zi[j];
                im[j] = x * p.zi[j] + y * p.zr[j];
            }
        };
        load(pa, npa, ar.data(), ai.data());
        forward(p, ar.data(), ai.data());
        if (square) {
            for (size_t j = 0; j < n; ++j) {
                double r = ar[j], i = ai[j];
                ar[j] = r * r - i * i;
                ai[j] = 2 * r * i;
            }
        } else {
            br.assign(n, 0.0); bi.assign(n, 0.0);
            load(pb, npb, br.data(), bi.data());
            forward(p, br.data(), bi.data());
            for (size_t j = 0; j < n; ++j) {
                double r = ar[j] * br[j] - ai[j] * bi[j];
                double i = ar[j] * bi[j] + ai[j] * br[j];
                ar[j] = r; ai[j] = i;
            }
        }
        inverse(p, ar.data(), ai.data());
        const double scale = 1.0 / (double)n;
        std::vector<int64_t> c(2 * n);
        double maxErr = 0;
        for (size_t j = 0; j < n; ++j) {
            double r = (ar[j] * p.zr[j] + ai[j] * p.zi[j]) * scale;
            double i = (ai[j] * p.zr[j] - ar[j] * p.zi[j]) * scale;
            double rr = std::nearbyint(r), ri = std::nearbyint(i);
            maxErr = std::max(maxErr, std::max(std::fabs(r - rr), std::fabs(i - ri)));
            c[j] = (int64_t)rr;
            c[j + n] = (int64_t)ri;
        }
        if (maxErr > 0.25) continue;  // too close to a rounding boundary: smaller pieces

        // Carry the coefficients into bits-wide pieces, then repack into 31-bit digits.
        const size_t nout = na + nb;
        for (size_t k = 0; k < nout; ++k) out[k] = 0;
        const int64_t mask = (int64_t{1} << bits) - 1;
        mag::i128 carry = 0;
        size_t pos = 0;
        for (size_t k = 0; k < 2 * n; ++k, pos += (size_t)bits) {
            mag::i128 t = (mag::i128)c[k] + carry;
            int64_t v = (int64_t)(t & mask);
            carry = t >> bits;
            if (v == 0) continue;
            size_t d = pos / 31, off = pos % 31;
            if (d >= nout) continue;
            uint64_t w = (uint64_t)v << off;   // off + bits <= 30 + 20 bits: fits
            out[d] |= (int64_t)(w & (uint64_t)0x7FFFFFFF);
            w >>= 31;
            if (w && d + 1 < nout) out[d + 1] |= (int64_t)(w & 0x7FFFFFFF);
            w >>= 31;
            if (w && d + 2 < nout) out[d + 2] |= (int64_t)w;
        }
        return true;
    }
    return false;
}

}  // namespace

bool mul(const int64_t* a, size_t na, const int64_t* b, size_t nb, int64_t* out) {
    return convolve(a, na, b, nb, false, out);
}

bool sqr(const int64_t* a, size_t na, int64_t* out) {
    return convolve(a, na, a, na, true, out);
}

}  // namespace bigfft
