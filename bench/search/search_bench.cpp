// search_bench [PATTERN]: the prime search engine against libprimesieve on the same intervals,
// and one whole search of 160000 primes through the window, from the click to the painted lists.
#include <primesieve.hpp>

#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QPushButton>
#include <cstdio>
#include <vector>

#include "bench/harness.h"
#include "bigint/progress.h"
#include "tests/fake_services.h"
#include "tools/search/search_engine.h"
#include "tools/search/search_form.h"

namespace {

void engineBenches(bench::Runner& run) {
    std::size_t sink = 0;
    // The whole first five parts: 2 .. the 160000th prime.
    run.compare("search_2_to_2160553",
        [&] { Progress p; sink += search::SearchPrimes(2, 2160553, p).primes.size(); },
        [&] { std::vector<uint64_t> v; primesieve::generate_primes(2, 2160553, &v); sink += v.size(); });
    // Stopped as the window stops: 160000 primes listed, the 160001st found.
    run.compare("search_1e12_160000",
        [&] { Progress p; sink += search::SearchPrimes(1000000000000LL, 1000010000000LL, p).primes.size(); },
        [&] { std::vector<uint64_t> v; primesieve::generate_n_primes(160001, 1000000000000ULL, &v); sink += v.size(); });
    run.compare("search_1e18_last_million",
        [&] { Progress p; sink += search::SearchPrimes(999999999999000000LL, 1000000000000000000LL, p).primes.size(); },
        [&] { std::vector<uint64_t> v; primesieve::generate_primes(999999999999000000ULL, 1000000000000000000ULL, &v); sink += v.size(); });
    if (sink == 0) std::printf("no primes found?\n");
}

// From the click on "Search" to the window painted with its five parts and the summary.
void windowBench(bench::Runner& run, int argc, char** argv) {
    const char* name = "search_window_2_to_2160553";
    if (!run.wants(name)) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FakeServices fs;
    TSearchForm form(fs.services);
    form.show();
    QApplication::processEvents();
    form.findChild<QComboBox*>("LowInterval")->setEditText("2");
    form.findChild<QComboBox*>("HighInterval")->setEditText("2160553");
    auto* go = form.findChild<QPushButton*>("GO");
    const double seconds = bench::medianSeconds([&] {
        go->click();
        form.repaint();
        QApplication::processEvents();
    });
    const auto* part5 = form.findChild<QListView*>("Report5");
    std::printf("%s seconds=%.3g target=0.3 rows_in_part_5=%d\n", name, seconds, part5->model()->rowCount());
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    bench::Runner run(argc > 1 ? argv[1] : "");
    engineBenches(run);
    windowBench(run, argc, argv);
    return 0;
}
