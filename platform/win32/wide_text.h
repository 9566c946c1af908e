#pragma once
// The edge between the program's UTF-8 and the system's UTF-16, for the Win32 side only.
#include <optional>
#include <string>
#include <string_view>

namespace platform::win32 {

// Text shown or handed to the system (captions, messages, URLs): bytes that are not UTF-8 become
// U+FFFD each, visibly, rather than being dropped.
std::wstring Wide(std::string_view utf8);
// Exactly, or nothing when the bytes are not UTF-8 or hold a NUL: for names of objects, where a
// guess would name another one.
std::optional<std::wstring> WideExact(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
std::string Utf8(const wchar_t* wide);  // NUL-terminated; "" for nullptr
// In the ANSI code page, with the system's default character for what it cannot hold.
std::string AnsiText(std::string_view utf8);
// One line for the debugger. Through the ANSI call, which every debugger reads (the system hands
// the wide one on in ANSI too) and Wine prints with +debugstr; Wine drops the wide one.
void DebugLine(std::string_view utf8);

// A path as the wide file calls should take it. Below `limit` UTF-16 units, and with no name ending
// in a dot or a space, it is handed over as it is. Otherwise an absolute path ("X:\..." or
// "\\server\share\...") takes the "\\?\" form, which lifts the length limit and keeps such names
// exactly (the plain form strips their dots and spaces and reaches another object); as the system
// then leaves the path as given, "/" becomes "\", empty and "." parts go and ".." takes the part
// before it away. With `last_is_pattern`, the last part is a search pattern whose dots count for
// nothing. Nothing when the path is empty, not UTF-8 or holds a NUL.
std::optional<std::wstring> SystemPath(std::string_view utf8, size_t limit, bool last_is_pattern = false);
// The limit of most calls; CreateDirectory takes 12 units less, so that a 8.3 name still fits.
inline constexpr size_t kPathLimit = 260;
inline constexpr size_t kFolderPathLimit = 248;
// Whether a path has the "\\?\" form; and the plain form of one that has it.
bool IsExtendedPath(std::wstring_view path);
std::wstring PlainPath(std::wstring path);

}  // namespace platform::win32
