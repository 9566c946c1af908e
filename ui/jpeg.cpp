#include <csetjmp>
#include <cstdio>

#include "platform/exception.h"
#include "ui/picture.h"

// libjpeg's header expects size_t and FILE to be declared first.
#include <jpeglib.h>

namespace ui {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
  auto* err = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, err->message);
  std::longjmp(err->jump, 1);
}

void OnMessage(j_common_ptr /*info*/, int /*level*/) {}

}  // namespace

TBitmap DecodeJpeg(const std::string& data, const std::string& file_name) {
  jpeg_decompress_struct info{};
  ErrorManager err{};
  info.err = jpeg_std_error(&err.base);
  err.base.error_exit = OnError;
  err.base.emit_message = OnMessage;
  TBitmap bitmap;
  // Only plain data lives across the jump: the bitmap is filled after the last libjpeg call
  // that can fail would have jumped.
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&info);
    throw platform::Exception("Cannot load picture \"" + file_name + "\": " + err.message);
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  bitmap.Width = static_cast<int>(info.output_width);
  bitmap.Height = static_cast<int>(info.output_height);
  bitmap.Rgb.resize(static_cast<size_t>(bitmap.Width) * bitmap.Height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = bitmap.Rgb.data() + static_cast<size_t>(info.output_scanline) * bitmap.Width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return bitmap;
}

}  // namespace ui
