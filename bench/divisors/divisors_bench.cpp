// divisors_bench [PATTERN]: the divisor engine against PARI/GP's divisors(), and the time
// the finder's window takes to fill its tree.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench/harness.h"
#include "platform/qt_platform.h"
#include "settings/settings_store.h"
#include "tools/divisors/div_form.h"
#include "tools/divisors/divisors.h"
#include "ui/runner.h"
#include "ui/services.h"

namespace {

// Seconds per divisors() call of the numbers in `vector` (a gp vector literal), timed
// inside gp with gettime() over a loop long enough (at least 0.5 s) to dwarf the clock's
// millisecond steps; negative when gp is missing or fails.
double GpSecondsPerCall(const std::string& vector) {
    std::ostringstream script;
    script << "default(parisize, \"256M\");\n"
           << "V = " << vector << ";\n"
           << "r = 1; while(1, gettime(); for(i = 1, r, for(j = 1, #V, divisors(V[j]))); t = gettime();"
              " if(t >= 500, printf(\"%.3f\\n\", t * 1000000.0 / r / #V); break); r *= 2);\n"
           << "quit;\n";
    char path[] = "/tmp/divisors_bench_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return -1;
    const std::string text = script.str();
    const bool written = write(fd, text.data(), text.size()) == (ssize_t)text.size();
    close(fd);
    double seconds = -1;
    if (written) {
        const std::string command = std::string("gp -q -f ") + path + " 2>/dev/null";
        if (FILE* gp = popen(command.c_str(), "r")) {
            // gp writes exponents as "1.2 e-6": nanoseconds in fixed point read back safely.
            double nanoseconds = 0;
            if (std::fscanf(gp, "%lf", &nanoseconds) == 1 && nanoseconds > 0) seconds = nanoseconds * 1e-9;
            pclose(gp);
        }
    }
    std::remove(path);
    return seconds;
}

void CompareWithGp(bench::Runner& run, const std::string& name, const std::vector<uint64_t>& numbers) {
    if (!run.wants(name)) return;
    size_t total = 0;
    const double ours = bench::medianSeconds([&] {
                            for (uint64_t w : numbers) total += divisors::SortedDivisors(w).size();
                        }) / (double)numbers.size();
    std::string vector = "[";
    for (size_t i = 0; i < numbers.size(); ++i) {
        if (i) vector += ',';
        vector += std::to_string(numbers[i]);
    }
    vector += "]";
    const double ref = GpSecondsPerCall(vector);
    if (ref <= 0) std::printf("%s ours=%.3g ref=unavailable (gp failed)\n", name.c_str(), ours);
    else std::printf("%s ours=%.3g ref=%.3g ratio=%.2f\n", name.c_str(), ours, ref, ours / ref);
    std::fflush(stdout);
    if (total == 0) std::printf("no divisors?\n");
}

class BenchSettings : public LiveSettings {
public:
    bool digitFilter() const override { return false; }
    bool sortHistory() const override { return false; }
    bool autoImport() const override { return false; }
    bool historyEnabled() const override { return false; }   // the history would grow with each run
    bool addFoundPrime() const override { return false; }
    bool autoExpand() const override { return expand; }
    bool showMessages() const override { return false; }
    bool estimations() const override { return false; }
    bool countTwins() const override { return false; }
    bool tabPages() const override { return true; }
    bool separateResults() const override { return false; }
    bool warnOnExit() const override { return false; }
    QString primeText() const override { return {}; }
    QString compositeText() const override { return {}; }
    bool expand = false;
};

class BenchHistories : public Histories {
public:
    void addPrime(const QString&) override {}
    void recordVerdict(const QString&, bool) override {}
    void appendReport(const QStringList&) override {}
    QStringList testerHistory() const override { return {}; }
};

// A search on the shown window, from the click to the tree painted, against the 0.2 s the
// window may take.
void TreeBenches(bench::Runner& run) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"720720", false}, {"897612484786617600", false}, {"897612484786617600", true}};
    bool wanted = false;
    for (const auto& [number, expanded] : cases)
        wanted |= run.wants(std::string(expanded ? "divisors_tree_expanded_" : "divisors_tree_") + number);
    if (!wanted) return;
    QTemporaryDir dir;
    QtPlatform platform;
    Runner runner(platform);
    SettingsStore store(dir.filePath(QStringLiteral("Setup.reg")));
    BenchSettings settings;
    BenchHistories histories;
    Services services{platform, runner, store, settings, histories};
    TDivForm form(services);
    form.resize(218, 600);
    form.show();
    QApplication::processEvents();
    auto* box = form.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    auto* find = form.findChild<QPushButton*>(QStringLiteral("FindButton"));
    auto* tree = form.findChild<QTreeView*>(QStringLiteral("DividersTree"));
    for (const auto& [number, expanded] : cases) {
        const std::string name = std::string(expanded ? "divisors_tree_expanded_" : "divisors_tree_") + number;
        if (!run.wants(name)) continue;
        settings.expand = expanded;
        box->setEditText(QString::fromStdString(number));
        const double seconds = bench::medianSeconds([&] {
            find->click();
            tree->viewport()->repaint();
            QApplication::processEvents();
        });
        int entries = 0;
        for (int i = 0; i < tree->model()->rowCount(); ++i) entries += 1 + tree->model()->rowCount(tree->model()->index(i, 0));
        std::printf("%s ours=%.3g budget=0.2 ratio=%.2f entries=%d\n", name.c_str(), seconds, seconds / 0.2, entries);
        std::fflush(stdout);
    }
    form.hide();
}

}  // namespace

int main(int argc, char** argv) {
    bench::Runner run(argc > 1 ? argv[1] : "");
    const uint64_t p9 = 999999937, q9 = 1000000007;
    CompareWithGp(run, "divisors_1e18", {1000000000000000000ULL});
    CompareWithGp(run, "divisors_999999999999999989", {999999999999999989ULL});
    CompareWithGp(run, "divisors_999999937x1000000007", {p9 * q9});
    CompareWithGp(run, "divisors_897612484786617600", {897612484786617600ULL});
    CompareWithGp(run, "divisors_720720", {720720});
    std::mt19937_64 rng(20261210);
    std::vector<uint64_t> random(200);
    for (uint64_t& w : random) w = 1 + rng() % 1000000000000000000ULL;
    CompareWithGp(run, "divisors_random200", random);

    // The window part needs a display; the offscreen one does when none is configured.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TreeBenches(run);
    return 0;
}
