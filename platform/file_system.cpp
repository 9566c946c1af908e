#include "platform/file_system.h"

#include "platform/unicode.h"

namespace platform {

std::string FileSystem::AnsiToUtf8(std::string_view ansi) {
  std::u16string wide;
  wide.reserve(ansi.size());
  for (unsigned char c : ansi) wide.push_back(c);
  return Utf8FromUtf16(wide);
}

std::optional<std::string> FileSystem::Utf8ToAnsi(std::string_view utf8) {
  const auto points = CodePointsOf(utf8);
  if (!points) return std::nullopt;
  std::string ansi;
  ansi.reserve(points->size());
  for (char32_t c : *points) {
    if (c > 0xFF) return std::nullopt;
    ansi.push_back(static_cast<char>(c));
  }
  return ansi;
}

}  // namespace platform
