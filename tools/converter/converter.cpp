// Conversions between plain integers and Mersenne or Fermat expressions, with the length limits.
#include "tools/converter/converter.h"

#include "bigint/bigint.h"

namespace {

size_t characters(std::string_view utf8) {
    size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

}  // namespace

ConvertResult Convert(ConvertSource source, std::string_view text, const ConvertTargets& targets) {
    ConvertResult r;
    TBigInt value;
    switch (source) {
    case ConvertSource::Integer:
        BigFromDecimal(text, value);
        if (characters(text) > IntegerLimit) {
            r.refusal = IntegerRefusal;
            return r;
        }
        r.mersenne = targets.mersenne ? BigToMersenne(value) : std::string();
        r.fermat = targets.fermat ? BigToFermat(value) : std::string();
        break;
    case ConvertSource::Mersenne:
        if (characters(text) > MersenneLimit) {
            r.refusal = MersenneRefusal;
            return r;
        }
        BigFromMersenne(text, value);
        // The decimal text of a large value is the costly part: made only when it is shown.
        r.integer = targets.integer ? BigToDecimal(value) : std::string();
        r.fermat = targets.fermat ? BigToFermat(value) : std::string();
        break;
    case ConvertSource::Fermat:
        if (characters(text) > FermatLimit) {
            r.refusal = FermatRefusal;
            return r;
        }
        BigFromFermat(text, value);
        r.integer = targets.integer ? BigToDecimal(value) : std::string();
        r.mersenne = targets.mersenne ? BigToMersenne(value) : std::string();
        break;
    }
    return r;
}
