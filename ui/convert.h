// The platform's conversions of text to native numbers, with their failure messages.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "textnum/textnum.h"

// As TextToInt32, TextToInt64 and TextToFloat read the text's UTF-8; the float forms trim every
// kind of blank the toolkit knows. Failures throw ConversionError.
int32_t StrToInt(const QString& text);
int64_t StrToInt64(const QString& text);
long double StrToFloat(const QString& text);
// The same text read without a failure: nothing when StrToFloat would refuse it.
std::optional<long double> ParseFloat(const QString& text);

// Lines of an engine (UTF-8) as the lines of a list.
QStringList ToStringList(const std::vector<std::string>& lines);
