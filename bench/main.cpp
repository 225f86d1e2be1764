// quendra_bench [PATTERN]: runs the benchmarks whose name contains PATTERN (all by default).
#include "bench/benches.h"

int main(int argc, char** argv) {
    bench::Runner run(argc > 1 ? argv[1] : "");
    bench::coreBenches(run);
    bench::primeBenches(run);
    bench::lucasLehmerBenches(run);
    bench::certificateBenches(run);
    return 0;
}
