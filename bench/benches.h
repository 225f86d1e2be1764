// The benchmark groups; each prints one line per benchmark through the runner.
#pragma once

#include "bench/harness.h"

namespace bench {
void coreBenches(Runner& run);
void primeBenches(Runner& run);
void lucasLehmerBenches(Runner& run);
void certificateBenches(Runner& run);
}
