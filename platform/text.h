#pragma once
// Text helpers shared by the logic, with the conversions of the runtime the system was designed on.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Upper case of ASCII letters; other bytes unchanged.
std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
// A hash that texts equal by SameText share; it makes no copy of the text.
size_t HashIgnoringCase(std::string_view text);
bool ContainsText(std::string_view text, std::string_view part);
// Drops leading and trailing blanks and control characters (every byte up to and including ' ').
std::string Trim(std::string_view text);
// `pattern` with %1 ... %9 replaced by the arguments (each read once, never again) and "%%" by
// "%"; any other "%" stays as written.
std::string FillPlaceholders(std::string_view pattern, const std::vector<std::string_view>& args);
// Replaces every occurrence of `from`, matched without regard to letter case.
std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view from, std::string_view to);

// Integer conversion as Val does it: leading blanks, an optional sign, then decimal digits or
// hexadecimal digits after "$", "x", "X", "0x" or "0X"; the whole rest must convert and fit in 32
// bits. Nothing when it does not.
std::optional<int32_t> StrToInt(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t fallback);
std::optional<int64_t> StrToInt64(std::string_view text);

// Floating-point reading of a plain decimal with the given separator; nothing when it does not
// convert completely.
std::optional<double> StrToFloat(std::string_view text, char decimal_separator);

// General number format: rounded to `digits` significant digits, trailing zeros and a trailing
// separator dropped, no thousands separators; fixed notation for magnitudes from 0.00001 up to
// below 10^digits, scientific ("1.2346E5", "1E-6") otherwise; zero is "0".
std::string FormatGeneral(double value, int digits, char decimal_separator);

}  // namespace platform
