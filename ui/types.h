#pragma once
// Small value types of the widget layer, named as a VCL programmer knows them.
#include <cstdint>
#include <functional>
#include <string>

namespace ui {

class TControl;

// Colours are 0x00BBGGRR, as COLORREF; the system colours carry a high tag the backend resolves.
using TColor = uint32_t;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clBtnFace = 0xFF00000F;     // COLOR_BTNFACE
constexpr TColor clWindowText = 0xFF000008;  // COLOR_WINDOWTEXT
constexpr TColor clDefault = 0xFFFFFFFF;     // inherit from the parent

enum TFontCharset : int { DEFAULT_CHARSET = 1, RUSSIAN_CHARSET = 204 };

struct TFont {
  std::string Name = "Tahoma";
  int Height = -11;  // negative: character height in pixels (Tahoma 8 pt is -11 at 96 dpi)
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  TColor Color = clWindowText;
  int Charset = DEFAULT_CHARSET;

  bool operator==(const TFont&) const = default;
};

// Font of a given character height in pixels, as the forms' tables give it.
inline TFont PixelFont(const std::string& name, int pixels, bool bold = false) {
  TFont f;
  f.Name = name;
  f.Height = -pixels;
  f.Bold = bold;
  return f;
}

// A colour from its red, green and blue parts, as the artwork's palette gives them.
constexpr TColor Rgb(int r, int g, int b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

enum class TCursor { crDefault, crHandPoint, crHelp };
enum class TAlign { alNone, alTop, alBottom, alClient };
// How a label lines its text up inside its bounds.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Modal results keep the numeric values that the dialogs' callers rely on.
enum class TModalResult : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
};

enum class TBalloonFlags { bfNone, bfInfo, bfWarning, bfError };

using TNotifyEvent = std::function<void(TControl* Sender)>;
using TMouseEvent = std::function<void(TControl* Sender, TMouseButton Button, int X, int Y)>;

struct TRect {
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TRect&) const = default;
};

}  // namespace ui
