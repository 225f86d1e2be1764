// The Super Calculator's arithmetic.
#include "tools/calculator/calculator.h"

#include "bigint/bigint.h"

std::string Calculate(CalcOperation op, std::string_view a, std::string_view b) {
    TBigInt A, B, C;
    BigFromDecimal(a, A);
    BigFromDecimal(b, B);
    switch (op) {
    case CalcOperation::Gcd: BigGcd(A, B, C); break;
    case CalcOperation::Add: BigAdd(A, B, C); break;
    case CalcOperation::Subtract: BigSub(A, B, C); break;
    case CalcOperation::Multiply: BigMul(A, B, C); break;
    }
    return BigToDecimal(C);
}
