// cli_bench [PATTERN]: quendra-cli as a process against the shell tools it stands beside: the
// factor command on batches from standard input, primesieve on a prime count, and the start-up
// of a one-number command. Times are the median of a few runs; "cpu" lines take the child's user
// and system time (steady while other work loads the machine), "wall" lines the elapsed time.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Times {
    double wall = -1, cpu = -1;
};

// Runs argv with standard input from `input` (a file, or empty for none), output discarded.
Times runOnce(const std::vector<std::string>& args, const std::string& input) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.empty() ? "/dev/null" : input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto t0 = std::chrono::steady_clock::now();
    pid_t pid;
    Times t;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        t.cpu = (double)usage.ru_utime.tv_sec + (double)usage.ru_utime.tv_usec / 1e6 + (double)usage.ru_stime.tv_sec +
                (double)usage.ru_stime.tv_usec / 1e6;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) t = Times{};
    }
    posix_spawn_file_actions_destroy(&actions);
    return t;
}

Times median(const std::vector<std::string>& args, const std::string& input, int runs) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < runs; ++i) {
        const Times t = runOnce(args, input);
        if (t.wall < 0) return t;
        wall.push_back(t.wall);
        cpu.push_back(t.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void line(const std::string& name, double ours, double ref) {
    if (ours < 0 || ref < 0) {
        std::printf("%s failed (a command did not run)\n", name.c_str());
    } else {
        std::printf("%s ours=%.3g ref=%.3g ratio=%.2f\n", name.c_str(), ours, ref, ours / ref);
    }
    std::fflush(stdout);
}

std::string writeNumbers(const char* name, const std::vector<std::string>& numbers) {
    const std::string path = std::string("/tmp/quendra-cli-bench-") + std::to_string(getpid()) + "-" + name;
    if (FILE* f = std::fopen(path.c_str(), "w")) {
        for (const std::string& n : numbers) std::fprintf(f, "%s\n", n.c_str());
        std::fclose(f);
    }
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string pattern = argc > 1 ? argv[1] : "";
    const auto wants = [&](const std::string& name) { return pattern.empty() || name.find(pattern) != std::string::npos; };
    const std::string cli = QUENDRA_CLI;
    std::mt19937_64 g(20261210);

    if (wants("cli_factor_u64")) {
        std::vector<std::string> numbers;
        for (int i = 0; i < 100000; ++i) numbers.push_back(std::to_string(g()));
        const std::string input = writeNumbers("u64", numbers);
        const Times ours = median({cli, "factor"}, input, 3), ref = median({"factor"}, input, 3);
        line("cli_factor_u64_100000_cpu", ours.cpu, ref.cpu);
        line("cli_factor_u64_100000_wall", ours.wall, ref.wall);
        std::remove(input.c_str());
    }
    if (wants("cli_factor_30digit")) {
        std::vector<std::string> numbers;
        for (int i = 0; i < 1000; ++i) {
            std::string n(1, char('1' + g() % 9));
            while (n.size() < 30) n += char('0' + g() % 10);
            numbers.push_back(n);
        }
        const std::string input = writeNumbers("d30", numbers);
        const Times ours = median({cli, "factor"}, input, 3), ref = median({"factor"}, input, 3);
        line("cli_factor_30digit_1000_cpu", ours.cpu, ref.cpu);
        line("cli_factor_30digit_1000_wall", ours.wall, ref.wall);
        std::remove(input.c_str());
    }
    if (wants("cli_primes_count")) {
        const std::string a = "1000000000000", b = "1000100000000";
        const Times ours = median({cli, "primes", a, b, "--count"}, "", 5);
        const Times all = median({"primesieve", a, b, "--count", "--quiet"}, "", 5);
        const Times one = median({"primesieve", a, b, "--count", "--quiet", "--threads=1"}, "", 5);
        line("cli_primes_count_1e12_1e8_wall", ours.wall, all.wall);
        line("cli_primes_count_1e12_1e8_cpu_vs_one_thread", ours.cpu, one.cpu);
    }
    if (wants("cli_startup")) {
        // The start-up of a one-number command (target: under 5 ms), beside the factor command's.
        const Times ours = median({cli, "isprime", "97"}, "", 21), ref = median({"factor", "97"}, "", 21);
        line("cli_startup_isprime_97_wall", ours.wall, ref.wall);
        line("cli_startup_isprime_97_cpu", ours.cpu, ref.cpu);
        std::printf("cli_startup_isprime_97 wall %.2f ms, cpu %.2f ms (target under 5 ms)\n", ours.wall * 1000,
                    ours.cpu * 1000);
    }
    return 0;
}
