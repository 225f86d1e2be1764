// quendra-cli: the workbench's engines from a shell. Every result comes from the engine the
// window uses; this file only reads arguments and lines and prints what the engines return.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bigint/bigint.h"
#include "cli/terminal.h"
#include "textnum/textnum.h"
#include "tools/calculator/calculator.h"
#include "tools/converter/converter.h"
#include "tools/divisors/divisors.h"
#include "tools/mersenne/lucas_lehmer.h"
#include "tools/modulo/modulo.h"
#include "tools/search/search_engine.h"
#include "tools/splitter/splitter.h"

#ifndef QUENDRA_VERSION
#define QUENDRA_VERSION "0"
#endif

namespace {

using namespace cli;
using modulo::ReduceOverFactors;
using modulo::RunEnd;
using splitter::Analyse;
using splitter::FactorLine;
using splitter::SplitterMethod;
using splitter::SplitterResult;
using splitter::SplitterRow;

constexpr const char* kUsage =
    "Usage: quendra-cli COMMAND [ARGUMENT...] [OPTION...]\n"
    "Quendra's number theory from the shell: the engines of the workbench's windows.\n"
    "\n"
    "Commands:\n"
    "  isprime N...                 whether each N is prime (up to 200 digits)\n"
    "  nextprime N...               the next prime after each N\n"
    "  ll P... [--certificate FILE] Lucas-Lehmer test of 2^P-1, P up to 99999\n"
    "  primes A B [--count] [--twins] [--estimate] [--limit K]\n"
    "                               the primes from A to B (up to 10^18), or their counts\n"
    "  divisors W... [--count]      every divisor of W (up to 10^18), or their number\n"
    "  factor N... [--one]          the prime factors of N, or one prime factor\n"
    "  mod EXPR F [--run K]         EXPR (a*b^c+d) modulo F, F+1, ..., F+K\n"
    "  convert X...                 X as integer, Mersenne (M p +/- d) and Fermat (F n +/- d) forms\n"
    "  calc A OP B                  A + B, A - B, A * B or A gcd B\n"
    "\n"
    "Without numbers on the command line, a command reads them from standard input, one per\n"
    "line (mod reads expressions, calc reads \"A OP B\" lines). An input that the workbench\n"
    "would refuse gets its message on standard error; the others go on, and the status is 1.\n"
    "Ctrl-C stops the work at once with status 130. Usage errors give status 2.\n"
    "\n"
    "  quendra-cli COMMAND --help   the command's own help\n"
    "  quendra-cli --version        the version\n";

struct Command {
    const char* name;
    const char* usage;   // the line after "Usage: quendra-cli "
    const char* help;
    std::vector<const char*> flags;    // options without a value
    std::vector<const char*> valued;   // options with a value
    int minArgs, maxArgs;              // positional arguments (-1: any number)
};

const std::vector<Command> kCommands = {
    {"isprime", "isprime [N...]",
     "Prints \"N: prime\" or \"N: composite\" for each N: the generic tester's verdict (exact below\n"
     "3.3e24, a probable-prime test above). N has at most 200 digits.\n",
     {}, {}, 0, -1},
    {"nextprime", "nextprime [N...]",
     "Prints the next prime after each N, as the Splitter's prime generator finds it (2 for N\n"
     "below 2).\n",
     {}, {}, 0, -1},
    {"ll", "ll [P...] [--certificate FILE]",
     "Prints \"M<P>: prime\" or \"M<P>: composite\": the Lucas-Lehmer test of 2^P-1, P up to 99999.\n"
     "--certificate FILE  also writes the residue sequence to FILE (one P only), the same\n"
     "                    lines as the workbench's certificate file; an interrupted run\n"
     "                    leaves no file.\n",
     {}, {"--certificate"}, 0, -1},
    {"primes", "primes A B [--count] [--twins] [--estimate] [--limit K]",
     "Prints every prime from A to B, one per line (A and B are cut to [2, 10^18] as the search\n"
     "window cuts them). With options it prints numbers instead, one per line in this order:\n"
     "--count     how many primes there are\n"
     "--twins     how many pairs of them differ by 2\n"
     "--estimate  the estimate B/ln B - A/ln A\n"
     "--limit K   stop after K primes\n",
     {"--count", "--twins", "--estimate"}, {"--limit"}, 2, 2},
    {"divisors", "divisors [W...] [--count]",
     "Prints \"W: d1 d2 ...\", every divisor of W in increasing order (W up to 10^18; a larger\n"
     "or fractional W is read as the divisor finder reads it, and W below 2 has none listed).\n"
     "--count  prints \"W: n\", their number, instead\n",
     {"--count"}, {}, 0, -1},
    {"factor", "factor [N...] [--one]",
     "Prints \"N: p1 p2 ...\", the prime factors of N in increasing order with repeats, as the\n"
     "factor command prints them (-1 first for a negative N): the Splitter's factorization.\n"
     "--one  prints one prime factor only (the Splitter's sample factor)\n",
     {"--one"}, {}, 0, -1},
    {"mod", "mod EXPR F [--run K] | mod F [--run K] < EXPRESSIONS",
     "Prints EXPR (a * b^c + d with any of its parts) modulo F, one residue per line, as Super\n"
     "Modulo computes it; with one argument, each line of standard input is an expression.\n"
     "--run K  also modulo F+1, ..., F+K (K up to 1000)\n",
     {}, {"--run"}, 1, 2},
    {"convert", "convert [X...]",
     "Prints X as an integer, a Mersenne expression (M p +/- d) and a Fermat expression\n"
     "(F n +/- d), one line each, as the converter computes them. X starting with M or F is\n"
     "such an expression, otherwise an integer.\n",
     {}, {}, 0, -1},
    {"calc", "calc A OP B",
     "Prints the result of the Super Calculator: OP is +, -, * (or x) or gcd. Without arguments,\n"
     "each line of standard input is \"A OP B\".\n",
     {}, {}, 0, 3},
};

// ---- the run of one command ----

class UsageError {
public:
    explicit UsageError(std::string text) : text(std::move(text)) {}
    std::string text;
};

struct Invocation {
    const Command* command = nullptr;
    std::vector<std::string> args;
    std::map<std::string, bool> flags;
    std::map<std::string, std::string> values;
    bool flag(const char* name) const { return flags.count(name) > 0; }
};

int failures = 0;

void refuse(std::string_view message) {
    WriteError(message);
    ++failures;
}

size_t characters(std::string_view utf8) {
    size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

// Runs one piece of engine work with the progress line and the library's cancel poll.
template <typename F>
auto work(F&& f) {
    struct End {
        ~End() { WorkEnded(); }
    } end;
    WorkStarted();
    Progress& progress = CurrentProgress();
    const BigPollScope poll([&progress] { progress.check(); });
    return f(progress);
}

// Each input from the arguments, or else from standard input.
void forEachInput(const Invocation& in, const std::function<void(const std::string&)>& handle) {
    if (!in.args.empty()) {
        for (const std::string& a : in.args) {
            handle(a);
            if (Interrupted()) return;
        }
        return;
    }
    LineReader reader;
    std::string line;
    while (reader.next(line)) handle(line);
}

std::optional<TBigInt> readBig(const std::string& text) {
    TBigInt n;
    try {
        BigFromDecimal(text, n);
    } catch (const BigError& e) {
        refuse(e.what());
        return std::nullopt;
    }
    return n;
}

std::string joined(const std::string& head, const std::vector<std::string>& items) {
    std::string line = head + ":";
    for (const std::string& item : items) line += " " + item;
    return line;
}

void isprime(const std::string& text) {
    if (text.empty()) return refuse("Please type a valid number.");
    if (characters(text) > 200) return refuse("Please, note that numbers with more than 200 digits are not supported yet.");
    const auto n = readBig(text);
    if (!n) return;
    const bool prime = work([&](Progress&) { return BigIsPrime(*n); });
    WriteLine(BigToDecimal(*n) + (prime ? ": prime" : ": composite"));
}

void nextprime(const std::string& text) {
    const auto n = readBig(text);
    if (!n) return;
    const SplitterResult r = work([&](Progress& p) { return Analyse(SplitterMethod::PrimeGenerator, *n, false, p); });
    WriteLine(r.rows.at(0).value);
}

void factor(const std::string& text, bool one) {
    const auto n = readBig(text);
    if (!n) return;
    std::vector<std::string> factors;
    if (one) {
        const SplitterResult r = work([&](Progress& p) { return Analyse(SplitterMethod::SampleFactor, *n, false, p); });
        for (const SplitterRow& row : r.rows) factors.push_back(row.value);
    } else {
        factors = work([&](Progress& p) { return FactorLine(*n, p); });
    }
    WriteLine(joined(BigToDecimal(*n), factors));
}

// The certificate goes to a temporary file beside FILE, renamed to FILE once complete.
bool writeCertificate(const LucasLehmerCertificate& certificate, const std::string& path) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        refuse("Cannot create file " + path);
        return false;
    }
    SetPartialFile(temp);
    FILE* file = ::fdopen(fd, "wb");
    bool written = false;
    try {
        written = work([&](Progress& p) {
            return WriteCertificateRows(
                certificate,
                [&](std::string_view line) { return std::fwrite(line.data(), 1, line.size(), file) == line.size(); },
                p);
        });
    } catch (...) {
        std::fclose(file);
        ::unlink(temp.c_str());
        SetPartialFile("");
        throw;
    }
    written = std::fclose(file) == 0 && written;
    if (written) {
        // The temporary is private; the certificate gets the modes of any new file.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(temp.c_str(), 0666 & ~mask);
        written = ::rename(temp.c_str(), path.c_str()) == 0;
    }
    if (!written) {
        ::unlink(temp.c_str());
        refuse("Cannot create file " + path);
    }
    SetPartialFile("");
    return written;
}

void ll(const std::string& text, const std::string* certificatePath) {
    int32_t p;
    try {
        p = TextToInt32(text);
    } catch (const ConversionError& e) {
        return refuse(e.what());
    }
    if (p > 99999) return refuse("Please, note that exponents above 99999 are not supported.");
    LucasLehmerCertificate certificate;
    const bool prime = work([&](Progress& progress) {
        return LucasLehmerTest(p, certificatePath ? &certificate : nullptr, progress);
    });
    if (certificatePath && !writeCertificate(certificate, *certificatePath)) return;
    WriteLine("M" + std::to_string(p) + (prime ? ": prime" : ": composite"));
}

void primes(const Invocation& in) {
    int64_t low, high;
    try {
        low = search::ReadBound(in.args[0]);
        high = search::ReadBound(in.args[1]);
    } catch (const ConversionError& e) {
        return refuse(e.what());
    }
    std::size_t limit = SIZE_MAX;
    if (in.values.count("--limit")) {
        int64_t k = -1;
        try {
            k = TextToInt64(in.values.at("--limit"));
        } catch (const ConversionError&) {
        }
        if (k < 0) throw UsageError("--limit takes a whole number of primes, 0 or more");
        limit = (std::size_t)k;
    }
    const search::Bounds bounds = search::ClampBounds(low, high);
    const bool count = in.flag("--count"), twins = in.flag("--twins"), estimate = in.flag("--estimate");
    if (!count && !twins && !estimate) {
        // Each prime goes out as the search finds it.
        std::size_t left = limit;
        work([&](Progress& p) {
            search::ForEachPrime(bounds.low, bounds.high, p, [&](std::span<const int64_t> batch) {
                for (std::size_t i = 0; i < batch.size() && left > 0; ++i, --left)
                    WriteLine(search::WholeNumberText(batch[i]));
                return left > 0;
            });
        });
        return;
    }
    int64_t found = 0;
    search::TwinPairTally pairs;
    if (twins) {
        // The twin pairs among the first `limit` primes, read as they are found.
        work([&](Progress& p) {
            search::ForEachPrime(bounds.low, bounds.high, p, [&](std::span<const int64_t> batch) {
                const std::size_t take = std::min<std::size_t>(batch.size(), limit - (std::size_t)found);
                pairs.add(batch.first(take));
                found += (int64_t)take;
                return (std::size_t)found < limit;
            });
        });
    } else if (count) {
        found = work([&](Progress& p) { return search::CountPrimes(bounds.low, bounds.high, p, limit); });
    }
    if (count) WriteLine(search::WholeNumberText(found));
    if (twins) WriteLine(search::WholeNumberText(pairs.pairs()));
    if (estimate)
        WriteLine(search::WholeNumberText(search::PrimeCountEstimate((long double)bounds.low, (long double)bounds.high)));
}

void divisorList(const std::string& text, bool countOnly) {
    std::optional<divisors::Subject> subject = divisors::WholeSubject(text);
    if (!subject) {
        try {
            subject = divisors::FloatSubject(TextToFloat(text));
        } catch (const ConversionError& e) {
            return refuse(e.what());
        }
    }
    const std::vector<uint64_t> all =
        subject->w >= 2 ? work([&](Progress&) { return divisors::SortedDivisors((uint64_t)subject->w); })
                        : std::vector<uint64_t>{};
    if (countOnly) return WriteLine(subject->text + ": " + std::to_string(all.size()));
    std::string line = subject->text + ":";
    for (uint64_t d : all) line += " " + std::to_string(d);
    WriteLine(line);
}

void modulo(const std::string& expression, const std::string& factorText, int64_t more) {
    int64_t first;
    try {
        first = TextToInt64(factorText);
    } catch (const ConversionError& e) {
        return refuse(e.what());
    }
    if (first <= 0) return refuse("'" + factorText + "': the factor must be 1 or more");
    std::vector<std::string> lines;
    try {
        work([&](Progress& p) { ReduceOverFactors(expression, first, RunEnd(first, more), p, lines); });
    } catch (const BigError& e) {
        // The factors before the failing one keep their lines.
        for (const std::string& line : lines) WriteLine(line);
        return refuse(e.what());
    }
    for (const std::string& line : lines) WriteLine(line);
}

void convert(const std::string& text) {
    const char head = text.empty() ? ' ' : text[0];
    const ConvertSource source = head == 'M' || head == 'm'   ? ConvertSource::Mersenne
                                 : head == 'F' || head == 'f' ? ConvertSource::Fermat
                                                              : ConvertSource::Integer;
    ConvertResult r;
    try {
        r = work([&](Progress&) { return Convert(source, text, ConvertTargets{true, true, true}); });
    } catch (const Failure& e) {
        // The conversion's failure, or the row's refusal of an over-long text.
        return refuse(e.what());
    }
    WriteLine("Integer: " + (source == ConvertSource::Integer ? text : r.integer.value_or("")));
    WriteLine("Mersenne: " + (source == ConvertSource::Mersenne ? text : r.mersenne.value_or("")));
    WriteLine("Fermat: " + (source == ConvertSource::Fermat ? text : r.fermat.value_or("")));
}

std::optional<CalcOperation> operation(std::string_view op) {
    if (op == "+") return CalcOperation::Add;
    if (op == "-") return CalcOperation::Subtract;
    if (op == "*" || op == "x" || op == "X") return CalcOperation::Multiply;
    if (op == "gcd" || op == "GCD" || op == "gcf" || op == "GCF") return CalcOperation::Gcd;
    return std::nullopt;
}

void calc(const std::string& a, const std::string& op, const std::string& b) {
    const std::optional<CalcOperation> o = operation(op);
    if (!o) return refuse("'" + op + "' is no operation: use +, -, *, x or gcd");
    try {
        WriteLine(work([&](Progress&) { return Calculate(*o, a, b); }));
    } catch (const BigError& e) {
        refuse(e.what());
    }
}

void calcLine(const std::string& line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const size_t s = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > s) words.emplace_back(line, s, i - s);
    }
    if (words.size() != 3) return refuse("'" + line + "': a line holds A OP B");
    calc(words[0], words[1], words[2]);
}

void run(const Invocation& in) {
    const std::string name = in.command->name;
    if (name == "isprime") forEachInput(in, isprime);
    else if (name == "nextprime") forEachInput(in, nextprime);
    else if (name == "factor") forEachInput(in, [&](const std::string& t) { factor(t, in.flag("--one")); });
    else if (name == "divisors") forEachInput(in, [&](const std::string& t) { divisorList(t, in.flag("--count")); });
    else if (name == "convert") forEachInput(in, convert);
    else if (name == "primes") primes(in);
    else if (name == "ll") {
        const std::string* certificate = in.values.count("--certificate") ? &in.values.at("--certificate") : nullptr;
        if (certificate && in.args.size() != 1) throw UsageError("--certificate takes exactly one P");
        forEachInput(in, [&](const std::string& t) { ll(t, certificate); });
    } else if (name == "mod") {
        int64_t more = 0;
        if (in.values.count("--run")) {
            more = -1;
            try {
                more = TextToInt64(in.values.at("--run"));
            } catch (const ConversionError&) {
            }
            if (more < 0 || more > 1000) throw UsageError("--run takes a number of further factors from 0 to 1000");
        }
        if (in.args.size() == 2) {
            modulo(in.args[0], in.args[1], more);
        } else {
            LineReader reader;
            std::string line;
            while (reader.next(line)) modulo(line, in.args[0], more);
        }
    } else if (name == "calc") {
        if (in.args.size() == 3) {
            if (!operation(in.args[1])) throw UsageError("'" + in.args[1] + "' is no operation: use +, -, *, x or gcd");
            calc(in.args[0], in.args[1], in.args[2]);
        } else if (in.args.empty()) {
            LineReader reader;
            std::string line;
            while (reader.next(line)) calcLine(line);
        } else {
            throw UsageError("calc takes A OP B");
        }
    }
}

// ---- arguments ----

Invocation parse(const Command& command, int argc, char** argv) {
    Invocation in;
    in.command = &command;
    bool options = true;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (options && a == "--") {
            options = false;
            continue;
        }
        if (options && a.size() > 2 && a[0] == '-' && a[1] == '-') {
            const size_t eq = a.find('=');
            const std::string name = a.substr(0, eq);
            bool known = false;
            for (const char* f : command.flags)
                if (name == f && eq == std::string::npos) {
                    in.flags[name] = true;
                    known = true;
                }
            for (const char* v : command.valued)
                if (name == v) {
                    if (eq != std::string::npos) in.values[name] = a.substr(eq + 1);
                    else if (i + 1 < argc) in.values[name] = argv[++i];
                    else throw UsageError(name + " needs a value");
                    known = true;
                }
            if (!known) throw UsageError("unknown option " + a);
            continue;
        }
        in.args.push_back(a);
    }
    const int n = (int)in.args.size();
    if (n < command.minArgs || (command.maxArgs >= 0 && n > command.maxArgs))
        throw UsageError(std::string("wrong number of arguments for ") + command.name);
    return in;
}

void printUsage(FILE* to) { std::fputs(kUsage, to); }

void printCommandHelp(const Command& c) {
    std::printf("Usage: quendra-cli %s\n%s", c.usage, c.help);
}

int usageError(const std::string& text, const Command* command) {
    FlushOutput();
    std::fprintf(stderr, "quendra-cli: %s\n", text.c_str());
    if (command) std::fprintf(stderr, "Usage: quendra-cli %s\n", command->usage);
    else printUsage(stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usageError("no command given", nullptr);
    const std::string first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        printUsage(stdout);
        return 0;
    }
    if (first == "--version") {
        std::printf("quendra-cli %s\n", QUENDRA_VERSION);
        return 0;
    }
    const Command* command = nullptr;
    for (const Command& c : kCommands)
        if (first == c.name) command = &c;
    if (!command) return usageError("unknown command '" + first + "'", nullptr);
    for (int i = 2; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--") break;
        if (std::string_view(argv[i]) == "--help" || std::string_view(argv[i]) == "-h") {
            printCommandHelp(*command);
            return 0;
        }
    }
    StartWatch();
    try {
        const Invocation in = parse(*command, argc, argv);
        run(in);
    } catch (const UsageError& e) {
        return usageError(e.text, command);
    } catch (const Cancelled&) {
        FlushOutput();
        return 130;
    } catch (const std::exception& e) {
        WriteError(std::string("quendra-cli: ") + e.what());
        return 1;
    }
    FlushOutput();
    if (Interrupted()) return 130;
    return failures > 0 ? 1 : 0;
}
