// The Super Calculator's arithmetic: one of four operations on two decimal texts.
#pragma once

#include <string>
#include <string_view>

enum class CalcOperation { Gcd, Add, Subtract, Multiply };

// Converts A then B (so a bad A is the one reported), applies the operation, returns the
// decimal result. Throws BigError with the conversion message on text that is not a number.
std::string Calculate(CalcOperation op, std::string_view a, std::string_view b);
