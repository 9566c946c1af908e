#pragma once
// What the windows make of a control: its kind, its docking, its window text. Internal to ui/win32.
#include <algorithm>
#include <string>

#include "ui/win32/backend_win32.h"
#include "ui/win32/classes.h"

namespace ui::win32 {

inline bool IsContainer(ControlKind kind) {
  return kind == ControlKind::kPanel || kind == ControlKind::kGroupBox || kind == ControlKind::kTabSheet;
}

inline bool PaintsItself(ControlKind kind) {
  return kind == ControlKind::kLabel || kind == ControlKind::kImage || IsContainer(kind);
}

// The drop-down part of a combo box is part of its window's height.
inline constexpr int kComboDropDownHeight = 200;

// A status bar without an alignment of its own sits at the bottom, as the toolkit's does.
inline TAlign EffectiveAlign(const TControl& c) {
  if (c.Kind() == ControlKind::kStatusBar && c.Align() == TAlign::alNone) return TAlign::alBottom;
  return c.Align();
}

inline std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(std::max(n, 0)) + 1, L'\0');
  n = GetWindowTextW(hwnd, text.data(), n + 1);
  text.resize(static_cast<size_t>(std::max(n, 0)));
  return Utf8(text);
}

// A memo shows line breaks only as CR LF.
inline std::string WithCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    if (ch == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += ch;
    if (ch == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) out += '\n';
  }
  return out;
}

}  // namespace ui::win32
