#include "scan/size_text.h"

#include "platform/text.h"

std::string MegabytesText(double megabytes, char decimal_separator) {
  return platform::FormatGeneral(megabytes, 5, decimal_separator);
}

std::string SizeText(int64_t bytes, char decimal_separator) {
  if (bytes <= kSizeTextByteLimit) return std::to_string(bytes) + " Bytes";
  return MegabytesText(static_cast<double>(bytes) / kBytesPerMegabyte, decimal_separator);
}
