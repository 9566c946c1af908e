#pragma once
// Text inside the program is UTF-8. The system's names are UTF-16 and may hold what UTF-16 itself
// forbids: a surrogate with no partner, which NTFS and Wine accept in file names. Such a unit is
// carried as the three bytes UTF-8 would give its code point (the WTF-8 form), so that a name read
// from the disk turns back into the very same UTF-16 and still reaches its file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Always succeeds: every UTF-16 unit sequence has a WTF-8 form.
std::string Utf8FromUtf16(std::u16string_view text);
// Nothing when the bytes are not UTF-8 (or the WTF-8 form of lone surrogates): a stray or missing
// continuation byte, an overlong form, a value beyond U+10FFFF. A NUL is taken as it is.
std::optional<std::u16string> Utf16FromUtf8(std::string_view text);
bool IsUtf8(std::string_view text);

// Reads one code point at `at` and moves past it; nothing (and `at` unmoved) at bytes that are not
// UTF-8. Encoded surrogates pass, as WTF-8 carries lone ones so.
std::optional<char32_t> NextCodePoint(std::string_view text, size_t* at);

// The code points of UTF-8 text, a lone surrogate as its own value; nothing when it is not UTF-8.
std::optional<std::u32string> CodePointsOf(std::string_view text);

// The capital of a character as file names compare on Windows: one to one, within the Basic
// Multilingual Plane only (the file system's upcase table has no entries beyond it), so "ß" stays
// "ß" and characters outside the plane, emoji among them, compare exactly.
char32_t UpperCaseChar(char32_t c);

}  // namespace platform
