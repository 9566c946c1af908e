#pragma once
// The forms give places, sizes and font heights in pixels of a 96-DPI display ("units"); a
// display of another DPI shows them scaled. The screen backend converts at its edge, so the
// controls and every handler above them only ever see units.
#include <optional>
#include <string>

#include "ui/picture.h"
#include "ui/types.h"

namespace platform {
class FileSystem;
}

namespace ui {

inline constexpr int kDesignDpi = 96;

class DisplayScale {
 public:
  explicit DisplayScale(int dpi = kDesignDpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}
  int Dpi() const { return dpi_; }
  // Units to pixels and back, to the nearest (halves away from zero, as MulDiv rounds).
  int Px(int units) const { return Div(static_cast<long long>(units) * dpi_, kDesignDpi); }
  int Units(int px) const { return Div(static_cast<long long>(px) * kDesignDpi, dpi_); }
  // The fewest units whose pixels hold `px` pixels: for sizes measured on the screen.
  int UnitsToHold(int px) const {
    int u = Units(px);
    while (Px(u) < px) ++u;
    return u;
  }
  // A rectangle by its edges, so that controls that touch in units touch on the screen too.
  TRect Px(const TRect& r) const {
    int left = Px(r.Left), top = Px(r.Top);
    return {left, top, Px(r.Left + r.Width) - left, Px(r.Top + r.Height) - top};
  }
  bool operator==(const DisplayScale&) const = default;

 private:
  static int Div(long long num, long long den) {
    long long half = den / 2;
    return static_cast<int>(num >= 0 ? (num + half) / den : -((-num + half) / den));
  }
  int dpi_;
};

// The artwork comes drawn at 100 %, 150 % and 200 %; a display shows the drawing nearest to
// its own scale (a tie goes to the larger one, which loses least when it is fitted).
int ArtworkPercent(int dpi);
// "images\header.jpg" at 150 % is "images\header@1.5x.jpg", at 200 % "images\header@2x.jpg";
// at 100 % the name itself.
std::string ArtworkFile(const std::string& path, int percent);
// The drawing of the picture at `path` for a scale, read from its file (ArtworkFile); nothing
// at 100 % or where that file is missing or cannot be decoded.
std::optional<TBitmap> ReadDrawing(platform::FileSystem& files, const std::string& path, int percent);

}  // namespace ui
