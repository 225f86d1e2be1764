// Text to native numbers, as the platform's conversions accept it.
#include "ui/convert.h"

int32_t StrToInt(const QString& text) { return TextToInt32(text.toStdString()); }

int64_t StrToInt64(const QString& text) { return TextToInt64(text.toStdString()); }

long double StrToFloat(const QString& text) {
    const auto value = ParseFloat(text);
    if (!value) throw ConversionError(("'" + text + "' is not a valid floating point value").toStdString());
    return *value;
}

std::optional<long double> ParseFloat(const QString& text) { return ParseFloatText(text.trimmed().toStdString()); }

QStringList ToStringList(const std::vector<std::string>& lines) {
    QStringList out;
    out.reserve((qsizetype)lines.size());
    for (const std::string& line : lines) out << QString::fromStdString(line);
    return out;
}
