// Conversions between plain integers and Mersenne or Fermat expressions, with the length limits.
#include "tools/converter/converter.h"

#include "bigint/bigint.h"
#include "core/failure.h"

namespace {

size_t characters(std::string_view utf8) {
    size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

// A text beyond the row's limit is refused before anything changes.
void refuseBeyond(std::string_view text, size_t limit, const char* refusal) {
    if (characters(text) > limit) throw Failure(refusal, Failure::Kind::Notice);
}

}  // namespace

ConvertResult Convert(ConvertSource source, std::string_view text, const ConvertTargets& targets) {
    ConvertResult r;
    TBigInt value;
    switch (source) {
    case ConvertSource::Integer:
        BigFromDecimal(text, value);
        refuseBeyond(text, IntegerLimit, IntegerRefusal);
        r.mersenne = targets.mersenne ? BigToMersenne(value) : std::string();
        r.fermat = targets.fermat ? BigToFermat(value) : std::string();
        break;
    case ConvertSource::Mersenne:
        refuseBeyond(text, MersenneLimit, MersenneRefusal);
        BigFromMersenne(text, value);
        // The decimal text of a large value is the costly part: made only when it is shown.
        r.integer = targets.integer ? BigToDecimal(value) : std::string();
        r.fermat = targets.fermat ? BigToFermat(value) : std::string();
        break;
    case ConvertSource::Fermat:
        refuseBeyond(text, FermatLimit, FermatRefusal);
        BigFromFermat(text, value);
        r.integer = targets.integer ? BigToDecimal(value) : std::string();
        r.mersenne = targets.mersenne ? BigToMersenne(value) : std::string();
        break;
    }
    return r;
}
