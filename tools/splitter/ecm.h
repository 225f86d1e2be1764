// The elliptic curve method on Montgomery curves (Suyama's parametrisation): stage 1 by the
// Montgomery ladder up to B1, a baby-step giant-step stage 2 up to B2 on normalised points.
#pragma once

#include <cstdint>
#include <optional>

#include "bigint/bigint.h"
#include "core/progress.h"

namespace splitter {

// Runs `curves` curves on an odd composite N that is no prime power, the k-th with
// sigma = 7 + k where k counts on from `curveCounter` (which is advanced, and named in the
// progress text "ECM curve k"). Returns a divisor strictly between 1 and N, or nothing.
std::optional<TBigInt> Ecm(const TBigInt& N, uint32_t B1, uint64_t B2, uint32_t curves,
                           uint32_t& curveCounter, Progress& progress);

}  // namespace splitter
