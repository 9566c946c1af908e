#pragma once
// Decoded pictures and the JPEG decoder behind them.
#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// 24-bit RGB pixels, rows top to bottom, no padding.
struct TBitmap {
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Rgb;
};

// Decodes JPEG data with libjpeg; throws platform::Exception naming `file_name` when the data
// is not a JPEG picture it can decode.
TBitmap DecodeJpeg(const std::string& data, const std::string& file_name);

}  // namespace ui
