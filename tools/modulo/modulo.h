// Super Modulo's engine: modular powers of any exponent size, and an expression a * b^c + d
// reduced modulo a run of consecutive factors without ever forming its full value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "bigint/types.h"

class Progress;

namespace modulo {

// R := B^|E| mod M, the least non-negative remainder (also for a negative B); B^0 gives 1 mod M.
// M must be at least 1 (BigError otherwise). The power is a true modular power, so the cost
// grows with the bit length of E, not with E itself; a modulus below 2^63 stays in machine words.
void ChunkedPowMod(const TBigInt& B, const TBigInt& E, const TBigInt& M, TBigInt& R);

// The expression reduced modulo M >= 1, as decimal text, by rewriting the text step by step:
// every "^" (grouped from the left), then every "*", then "+" and "-" together from the left,
// each operation replaced by its result modulo M. Operands are the runs of decimal digits next
// to an operator; a "-" with no digit anywhere before it is the sign of the first term. An empty
// operand (blank, letter, doubled operator, operator at an end) throws the conversion BigError
// of the empty text, as does a remaining text that is not a number. With a progress, a cancel is
// noticed before every operation and every 65536 characters read. Each pass of an operator
// kind reads the text once: the cost grows with the length of the text and of the results.
std::string ReduceExpression(std::string_view expression, const TBigInt& M, const Progress* progress = nullptr);

// The last factor of a run of `more` factors after `first`: first + more, or the largest 64-bit
// value where that sum would pass it.
int64_t RunEnd(int64_t first, int64_t more);

// Results for the factors first, first + 1, ..., last (first >= 1), one decimal line per factor,
// appended to `lines` as they are made; nothing for a first below 1 or a last below first. The
// failure of a factor (the conversion BigError) ends the run there: it is thrown with the lines
// of the factors before it in place. Polls progress after every factor; a cancel throws Cancelled.
void ReduceOverFactors(std::string_view expression, int64_t first, int64_t last, Progress& progress,
                       std::vector<std::string>& lines);

}  // namespace modulo
