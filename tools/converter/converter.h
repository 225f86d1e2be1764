// The converter's engine: one row's text turned into the texts of the other two rows
// (plain integer, Mersenne expression "M" p +/- d, Fermat expression "F" n +/- d).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

enum class ConvertSource { Integer, Mersenne, Fermat };

// The check boxes: which rows receive a result (a row that does not is emptied).
struct ConvertTargets {
    bool integer = true;
    bool mersenne = true;
    bool fermat = false;
};

// Longest accepted source texts, in characters, and their refusals.
inline constexpr size_t IntegerLimit = 2500;
inline constexpr size_t MersenneLimit = 200;
inline constexpr size_t FermatLimit = 50;
inline constexpr const char* IntegerRefusal =
    "Please, note that integers with  more than 2500 digits are not supported yet.";
inline constexpr const char* MersenneRefusal = "Please, the Mersenne expression may not exceed 200 characters.";
inline constexpr const char* FermatRefusal = "Please, the Fermat expression may not exceed 50 characters.";

struct ConvertResult {
    // The new texts of the two other rows; the source row's own entry stays unset.
    std::optional<std::string> integer, mersenne, fermat;
};

// The source text is UTF-8. A text longer than its row's limit throws a Failure notice with the
// row's refusal; a text the conversions refuse throws their BigError (the integer text is
// converted before its length is checked, so an over-long text that is not a number reports the
// conversion's failure).
ConvertResult Convert(ConvertSource source, std::string_view text, const ConvertTargets& targets);
