// quendra-cli as a user runs it: a process with arguments and standard input, its output, its
// messages and its status; Ctrl-C during a long test; agreement with the factor command,
// primesieve, PARI/GP and GMP on random inputs where those are installed.
#include <fcntl.h>
#include <gmp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

struct Result {
    std::string out, err;
    int status = -1;   // exit status, or 128 + signal
};

// Runs argv with `input` on standard input; `interruptAfterMs` >= 0 sends SIGINT then and
// measures how long the process takes to end after it.
Result runProcess(const std::vector<std::string>& args, const std::string& input = "", int interruptAfterMs = -1,
                  double* msAfterInterrupt = nullptr, double* firstOutputMs = nullptr) {
    int in[2], out[2], err[2];
    if (pipe(in) || pipe(out) || pipe(err)) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) posix_spawn_file_actions_addclose(&actions, fd);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    Result r;
    if (spawned != 0) {
        close(in[1]);
        close(out[0]);
        close(err[0]);
        return r;
    }
    // Standard input from a thread, so that a large batch never blocks on a full pipe.
    std::thread feeder([fd = in[1], &input] {
        size_t at = 0;
        while (at < input.size()) {
            const ssize_t n = write(fd, input.data() + at, input.size() - at);
            if (n <= 0) break;
            at += (size_t)n;
        }
        close(fd);
    });
    const auto start = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point interruptedAt;
    bool interrupted = false;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    char buffer[65536];
    while (open > 0) {
        if (interruptAfterMs >= 0 && !interrupted &&
            std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(interruptAfterMs)) {
            kill(pid, SIGINT);
            interruptedAt = std::chrono::steady_clock::now();
            interrupted = true;
        }
        if (poll(fds, 2, 10) <= 0) continue;
        for (pollfd& p : fds) {
            if (p.fd < 0 || !(p.revents & (POLLIN | POLLHUP))) continue;
            const ssize_t n = read(p.fd, buffer, sizeof buffer);
            if (n <= 0) {
                close(p.fd);
                p.fd = -1;
                --open;
                continue;
            }
            if (p.fd == out[0] && r.out.empty() && firstOutputMs)
                *firstOutputMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            (p.fd == out[0] ? r.out : r.err).append(buffer, (size_t)n);
        }
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (interrupted && msAfterInterrupt)
        *msAfterInterrupt = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - interruptedAt).count();
    feeder.join();
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return r;
}

Result cli(std::vector<std::string> args, const std::string& input = "") {
    args.insert(args.begin(), QUENDRA_CLI);
    return runProcess(args, input);
}

bool installed(const char* tool) {
    const std::string command = std::string("command -v ") + tool + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// One call of the program: its arguments, standard input, and what it must print and return.
struct Case {
    std::vector<std::string> args;
    std::string input, out, err;
    int status;
};

void check(const Case& c) {
    const Result r = cli(c.args, c.input);
    std::string shown;
    for (const std::string& a : c.args) shown += a + " ";
    EXPECT_EQ(r.out, c.out) << shown;
    EXPECT_EQ(r.err, c.err) << shown;
    EXPECT_EQ(r.status, c.status) << shown;
}

}  // namespace

TEST(CliCommands, OutputMessagesAndStatus) {
    const Case cases[] = {
        {{"isprime", "97", "100", "1", "2", "-7"}, "", "97: prime\n100: composite\n1: composite\n2: prime\n-7: prime\n", "", 0},
        {{"isprime", "170141183460469231731687303715884105727"}, "", "170141183460469231731687303715884105727: prime\n", "", 0},
        {{"isprime", std::string(201, '7')}, "", "",
         "Please, note that numbers with more than 200 digits are not supported yet.\n", 1},
        {{"isprime", ""}, "", "", "Please type a valid number.\n", 1},
        {{"nextprime", "1", "0", "-5", "89", "18446744073709551557"}, "", "2\n2\n2\n97\n18446744073709551629\n", "", 0},
        {{"ll", "127", "11", "2", "1"}, "", "M127: prime\nM11: composite\nM2: prime\nM1: composite\n", "", 0},
        {{"ll", "100000"}, "", "", "Please, note that exponents above 99999 are not supported.\n", 1},
        {{"ll", "12x"}, "", "", "'12x' is not a valid integer value\n", 1},
        {{"primes", "10", "50"}, "", "11\n13\n17\n19\n23\n29\n31\n37\n41\n43\n47\n", "", 0},
        {{"primes", "1", "100", "--count", "--twins", "--estimate"}, "", "25\n8\n19\n", "", 0},
        {{"primes", "1000000000000", "1000000100000", "--count"}, "", "3614\n", "", 0},
        {{"primes", "2", "100", "--limit", "3"}, "", "2\n3\n5\n", "", 0},
        // Counts and pairs among the first K primes only: 2 3 5 7 11 hold the pairs 3 5 and 5 7.
        {{"primes", "2", "100", "--count", "--twins", "--limit", "5"}, "", "5\n2\n", "", 0},
        {{"primes", "1000000000000", "1000000100000", "--count", "--limit", "0"}, "", "0\n", "", 0},
        {{"primes", "0x10", "100"}, "", "", "'0x10' is not a valid integer value\n", 1},
        {{"divisors", "12", "36", "1", "97"}, "", "12: 1 2 3 4 6 12\n36: 1 2 3 4 6 9 12 18 36\n1:\n97: 1 97\n", "", 0},
        {{"divisors", "1e3", "--count"}, "", "1000: 16\n", "", 0},
        {{"divisors", "1000000000000000000", "--count"}, "", "1000000000000000000: 361\n", "", 0},
        {{"divisors", "12z"}, "", "", "'12z' is not a valid floating point value\n", 1},
        {{"factor", "12", "1", "0", "-12", "18446744073709551615"}, "",
         "12: 2 2 3\n1:\n0:\n-12: -1 2 2 3\n18446744073709551615: 3 5 17 257 641 65537 6700417\n", "", 0},
        {{"factor", "--one", "97"}, "", "97: 97\n", "", 0},
        {{"mod", "2^100+1", "7", "--run", "2"}, "", "3\n1\n8\n", "", 0},
        {{"mod", "2 * 3", "7"}, "", "", "'' is not a valid integer value\n", 1},
        {{"convert", "127", "F5"}, "",
         "Integer: 127\nMersenne: M7\nFermat: F2+110\nInteger: 4294967297\nMersenne: M32+2\nFermat: F5\n", "", 0},
        {{"calc", "12", "gcd", "18"}, "", "6\n", "", 0},
        {{"calc", "-5", "-", "7"}, "", "-12\n", "", 0},
        {{"calc", "123456789123456789", "x", "987654321987654321"}, "", "121932631356500531347203169112635269\n", "", 0},
        {{"calc"}, "2 + 3\n4 * 5\n1 ? 2\n", "5\n20\n", "'?' is no operation: use +, -, *, x or gcd\n", 1},
    };
    for (const Case& c : cases) check(c);
}

TEST(CliCommands, UsageHelpAndVersion) {
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {}, {"frobnicate"}, {"primes", "2"}, {"factor", "--bogus", "12"}, {"ll", "--certificate"},
             {"mod", "2^3", "7", "--run", "1001"}, {"calc", "1", "%", "2"}, {"ll", "5", "7", "--certificate", "x"}}) {
        const Result r = cli(bad);
        EXPECT_EQ(r.status, 2) << (bad.empty() ? "" : bad[0]);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Usage: quendra-cli"), std::string::npos) << r.err;
    }
    Result r = cli({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* c : {"isprime", "nextprime", "ll", "primes", "divisors", "factor", "mod", "convert", "calc"}) {
        EXPECT_NE(r.out.find(std::string("  ") + c + " "), std::string::npos) << c;
        const Result help = cli({c, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind(std::string("Usage: quendra-cli ") + c, 0), 0u) << help.out;
    }
    r = cli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("quendra-cli ", 0), 0u);
}

TEST(CliBatches, StandardInputOnePerLine) {
    std::string input, expected;
    for (int n = 1; n <= 2000; ++n) input += std::to_string(n) + "\n";
    const Result all = cli({"factor"}, input);
    EXPECT_EQ(all.status, 0);
    const std::vector<std::string> got = lines(all.out);
    ASSERT_EQ(got.size(), 2000u);
    EXPECT_EQ(got[0], "1:");
    EXPECT_EQ(got[359], "360: 2 2 2 3 3 5");
    EXPECT_EQ(got[1998], "1999: 1999");
    // Blanks around a number and empty lines are dropped; a last line may lack its end.
    check({{"isprime"}, "  7 \r\n\n\t11\n12", "7: prime\n11: prime\n12: composite\n", "", 0});
    check({{"mod", "97"}, "2^10+1\n3*3*3\n", "55\n27\n", "", 0});
    check({{"ll"}, "31\n32\n", "M31: prime\nM32: composite\n", "", 0});
}

TEST(CliBatches, BadInputInTheMiddleGoesOn) {
    check({{"factor"}, "10\nten\n21\n", "10: 2 5\n21: 3 7\n", "'n' is not a valid integer value\n", 1});
    check({{"isprime"}, "5\n" + std::string(300, '1') + "\n6\n", "5: prime\n6: composite\n",
           "Please, note that numbers with more than 200 digits are not supported yet.\n", 1});
    check({{"divisors", "--count"}, "6\nsix\n8\n", "6: 4\n8: 4\n", "'six' is not a valid floating point value\n", 1});
    check({{"convert"}, "127\nM" + std::string(250, '1') + "\n8\n",
           "Integer: 127\nMersenne: M7\nFermat: F2+110\nInteger: 8\nMersenne: M3+1\nFermat: F1+3\n",
           "Please, the Mersenne expression may not exceed 200 characters.\n", 1});
}

// Ctrl-C during the longest test the program takes: the process ends within a second with
// status 130 and leaves no certificate behind, not even a partial one.
TEST(CliInterrupt, LucasLehmerStopsAtOnceAndLeavesNoFile) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("quendra-cli-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string file = (dir / "M99991.txt").string();
    double ms = -1;
    Result r = runProcess({QUENDRA_CLI, "ll", "99991", "--certificate", file}, "", 700, &ms);
    EXPECT_EQ(r.status, 130);
    EXPECT_GE(ms, 0.0);
    EXPECT_LT(ms, 1000.0);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(std::filesystem::is_empty(dir)) << "a file was left behind";
    std::filesystem::remove_all(dir);
    // A result reaches the pipe while the next input is still being worked on.
    double first = -1;
    r = runProcess({QUENDRA_CLI, "ll"}, "7\n99991\n", 1500, &ms, &first);
    EXPECT_EQ(r.status, 130);
    EXPECT_EQ(r.out, "M7: prime\n");
    EXPECT_GE(first, 0.0);
    EXPECT_LT(first, 1500.0);
}

// ---- agreement with the references on random inputs ----

namespace {

std::string run(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
        pclose(p);
    }
    return out;
}

std::string randomDigits(std::mt19937_64& g, int digits) {
    std::string s(1, char('1' + g() % 9));
    while ((int)s.size() < digits) s += char('0' + g() % 10);
    return s;
}

}  // namespace

TEST(CliAgreement, FactorWithTheFactorCommandAndGmp) {
    std::mt19937_64 g(2112);
    std::string input;
    for (int i = 0; i < 300; ++i) input += std::to_string(std::max<uint64_t>(2, g() >> (g() % 60))) + "\n";
    for (int i = 0; i < 20; ++i) input += randomDigits(g, 20 + (int)(g() % 11)) + "\n";
    const Result ours = cli({"factor"}, input);
    ASSERT_EQ(ours.status, 0) << ours.err;
    // Each line: the number, then primes in increasing order whose product is the number.
    for (const std::string& line : lines(ours.out)) {
        std::istringstream words(line);
        std::string head, f;
        words >> head;
        mpz_t n, product, p, previous;
        mpz_inits(n, product, p, previous, nullptr);
        mpz_set_str(n, head.substr(0, head.size() - 1).c_str(), 10);
        mpz_set_ui(product, 1);
        while (words >> f) {
            mpz_set_str(p, f.c_str(), 10);
            EXPECT_GT(mpz_probab_prime_p(p, 30), 0) << line;
            EXPECT_GE(mpz_cmp(p, previous), 0) << line;
            mpz_mul(product, product, p);
            mpz_set(previous, p);
        }
        EXPECT_EQ(mpz_cmp(product, n), 0) << line;
        mpz_clears(n, product, p, previous, nullptr);
    }
    if (!installed("factor")) GTEST_SKIP() << "no factor command";
    char path[] = "/tmp/quendra-cli-factor-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, input.data(), input.size()), (ssize_t)input.size());
    close(fd);
    EXPECT_EQ(ours.out, run(std::string("factor < ") + path));
    unlink(path);
}

TEST(CliAgreement, PrimesWithPrimesieve) {
    if (!installed("primesieve")) GTEST_SKIP() << "no primesieve command";
    std::mt19937_64 g(77);
    for (int i = 0; i < 12; ++i) {
        const uint64_t a = g() % 1'000'000'000'000'000'000ULL >> (g() % 40);
        const uint64_t b = a + g() % 2'000'000;
        const std::string lo = std::to_string(a), hi = std::to_string(b);
        const Result ours = cli({"primes", lo, hi, "--count"});
        ASSERT_EQ(ours.status, 0);
        const std::string reference = run("primesieve " + lo + " " + hi + " --count --quiet");
        EXPECT_EQ(ours.out, reference) << lo << " " << hi;
        if (i < 3) {
            const Result list = cli({"primes", lo, hi});
            EXPECT_EQ(list.out, run("primesieve " + lo + " " + hi + " --print --quiet")) << lo;
        }
    }
}

TEST(CliAgreement, DivisorsAndNextPrimeWithPari) {
    if (!installed("gp")) GTEST_SKIP() << "no PARI/GP";
    std::mt19937_64 g(5);
    std::string ours, script;
    std::vector<std::string> numbers;
    for (int i = 0; i < 40; ++i) numbers.push_back(std::to_string(1 + g() % 1'000'000'000'000'000'000ULL / (1 + g() % 1000)));
    std::string input;
    for (const std::string& n : numbers) {
        input += n + "\n";
        script += "print(\"" + n + ": \", numdiv(" + n + "));";
        script += "print(nextprime(" + n + "+1));";
    }
    const Result counts = cli({"divisors", "--count"}, input);
    const Result next = cli({"nextprime"}, input);
    ASSERT_EQ(counts.status, 0);
    ASSERT_EQ(next.status, 0);
    const std::vector<std::string> c = lines(counts.out), p = lines(next.out);
    ASSERT_EQ(c.size(), numbers.size());
    ASSERT_EQ(p.size(), numbers.size());
    for (size_t i = 0; i < numbers.size(); ++i) ours += c[i] + "\n" + p[i] + "\n";
    EXPECT_EQ(ours, run("printf '%s\\n' '" + script + "' | gp -q -f"));
    const Result one = cli({"divisors", "360"});
    EXPECT_EQ(one.out, "360: " + run("printf '%s\\n' 'v=divisors(360);for(i=1,#v,print1(v[i],if(i<#v,\" \",\"\\n\")))' | gp -q -f"));
}

TEST(CliAgreement, IsPrimeAndCalcWithGmp) {
    std::mt19937_64 g(31);
    std::string primality, sums;
    std::vector<std::string> numbers, pairs;
    for (int i = 0; i < 200; ++i) numbers.push_back(randomDigits(g, 1 + (int)(g() % 60)));
    for (int i = 0; i < 50; ++i) pairs.push_back(randomDigits(g, 1 + (int)(g() % 80)) + " * " + randomDigits(g, 1 + (int)(g() % 80)));
    for (const std::string& n : numbers) primality += n + "\n";
    for (const std::string& p : pairs) sums += p + "\n";
    const std::vector<std::string> verdicts = lines(cli({"isprime"}, primality).out);
    const std::vector<std::string> products = lines(cli({"calc"}, sums).out);
    ASSERT_EQ(verdicts.size(), numbers.size());
    ASSERT_EQ(products.size(), pairs.size());
    mpz_t a, b, c;
    mpz_inits(a, b, c, nullptr);
    for (size_t i = 0; i < numbers.size(); ++i) {
        mpz_set_str(a, numbers[i].c_str(), 10);
        EXPECT_EQ(verdicts[i], numbers[i] + (mpz_probab_prime_p(a, 30) ? ": prime" : ": composite"));
    }
    for (size_t i = 0; i < pairs.size(); ++i) {
        const size_t star = pairs[i].find(" * ");
        mpz_set_str(a, pairs[i].substr(0, star).c_str(), 10);
        mpz_set_str(b, pairs[i].substr(star + 3).c_str(), 10);
        mpz_mul(c, a, b);
        char* text = mpz_get_str(nullptr, 10, c);
        EXPECT_EQ(products[i], text);
        free(text);
    }
    mpz_clears(a, b, c, nullptr);
}
