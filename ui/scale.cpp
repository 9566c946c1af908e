#include "ui/scale.h"

#include <cstdlib>

#include "platform/exception.h"
#include "platform/file_system.h"

namespace ui {

int ArtworkPercent(int dpi) {
  int best = 100;
  for (int percent : {150, 200}) {
    if (std::abs(dpi * 100 - percent * kDesignDpi) <= std::abs(dpi * 100 - best * kDesignDpi)) best = percent;
  }
  return best;
}

std::string ArtworkFile(const std::string& path, int percent) {
  if (percent == 100) return path;
  const char* suffix = percent == 150 ? "@1.5x" : "@2x";
  size_t slash = path.find_last_of("\\/");
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + suffix;
  return path.substr(0, dot) + suffix + path.substr(dot);
}

std::optional<TBitmap> ReadDrawing(platform::FileSystem& files, const std::string& path, int percent) {
  if (percent == 100 || path.empty()) return std::nullopt;
  const std::string file = ArtworkFile(path, percent);
  const auto data = files.ReadFile(file);
  if (!data) return std::nullopt;
  try {
    return DecodeJpeg(*data, file);
  } catch (const platform::Exception&) {
    return std::nullopt;  // a broken drawing: the picture itself is shown instead
  }
}

}  // namespace ui
