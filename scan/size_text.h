#pragma once
// The size texts of the results list and the summary label.
#include <cstdint>
#include <string>

// Sizes up to this many bytes are written in bytes; larger ones in megabytes.
constexpr int64_t kSizeTextByteLimit = 4096;
constexpr double kBytesPerMegabyte = 1048576.0;

// Megabytes in general number format with 5 significant digits ("0.028706", "117.74", "0").
std::string MegabytesText(double megabytes, char decimal_separator);
// "512 Bytes" up to kSizeTextByteLimit; above it the megabytes without a unit ("0.0039072").
// The cleaning run tells the two forms apart by the word "Bytes".
std::string SizeText(int64_t bytes, char decimal_separator);
