#include "platform/win32/wide_text.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "platform/unicode.h"

namespace platform::win32 {
namespace {

// wchar_t is the system's UTF-16 unit here.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring FromU16(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool EndsInDotOrSpace(std::wstring_view part) {
  return !part.empty() && part != L"." && part != L".." && (part.back() == L'.' || part.back() == L' ');
}

std::vector<std::wstring_view> Parts(std::wstring_view rest) {
  std::vector<std::wstring_view> parts;
  size_t begin = 0;
  for (size_t i = 0; i <= rest.size(); ++i) {
    if (i < rest.size() && !IsSeparator(rest[i])) continue;
    parts.push_back(rest.substr(begin, i - begin));
    begin = i + 1;
  }
  return parts;
}

}  // namespace

std::wstring Wide(std::string_view utf8) {
  if (auto exact = Utf16FromUtf8(utf8)) return FromU16(*exact);
  std::wstring out;
  for (size_t at = 0; at < utf8.size();) {
    size_t length = 1;
    while (length <= 4 && !(at + length <= utf8.size() && IsUtf8(utf8.substr(at, length)))) ++length;
    if (length > 4) {
      out += L'\xFFFD';
      ++at;
      continue;
    }
    out += FromU16(*Utf16FromUtf8(utf8.substr(at, length)));
    at += length;
  }
  return out;
}

std::optional<std::wstring> WideExact(std::string_view utf8) {
  if (utf8.find('\0') != std::string_view::npos) return std::nullopt;
  auto exact = Utf16FromUtf8(utf8);
  if (!exact) return std::nullopt;
  return FromU16(*exact);
}

std::string Utf8(std::wstring_view wide) {
  return Utf8FromUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

std::string Utf8(const wchar_t* wide) { return wide ? Utf8(std::wstring_view(wide, wcslen(wide))) : std::string(); }

std::string AnsiText(std::string_view utf8) {
  const std::wstring wide = Wide(utf8);
  if (wide.empty()) return {};
  const int count = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), count, nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), count, ansi.data(), bytes, nullptr, nullptr);
  return ansi;
}

void DebugLine(std::string_view utf8) { OutputDebugStringA(AnsiText(utf8).c_str()); }

bool IsExtendedPath(std::wstring_view path) { return path.starts_with(L"\\\\?\\"); }

std::wstring PlainPath(std::wstring path) {
  if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\" + path.substr(7);
  if (IsExtendedPath(path)) path.erase(0, 4);
  return path;
}

std::optional<std::wstring> SystemPath(std::string_view utf8, size_t limit, bool last_is_pattern) {
  std::optional<std::wstring> wide = WideExact(utf8);
  if (!wide || wide->empty()) return std::nullopt;
  if (IsExtendedPath(*wide)) return wide;
  const std::wstring_view path = *wide;
  std::wstring prefix;
  std::wstring_view rest;
  if (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2]) &&
      ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'))) {
    prefix = L"\\\\?\\" + std::wstring(path.substr(0, 2));
    rest = path.substr(3);
  } else if (path.size() > 2 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2])) {
    prefix = L"\\\\?\\UNC";
    rest = path.substr(2);
  } else {
    return wide;  // relative: the system resolves it as it always has
  }
  std::vector<std::wstring_view> parts = Parts(rest);
  bool needed = path.size() >= limit;
  for (size_t i = 0; i < parts.size() && !needed; ++i)
    needed = EndsInDotOrSpace(parts[i]) && !(last_is_pattern && i + 1 == parts.size());
  if (!needed) return wide;

  const bool trailing_separator = IsSeparator(path.back());
  std::vector<std::wstring_view> kept;
  for (std::wstring_view part : parts) {
    if (part.empty() || part == L".") continue;
    if (part == L"..") {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(part);
  }
  std::wstring out = prefix;
  for (std::wstring_view part : kept) {
    out += L'\\';
    out += part;
  }
  if (kept.empty() || trailing_separator) out += L'\\';
  return out;
}

}  // namespace platform::win32
