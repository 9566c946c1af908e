#pragma once
// TControl: the state of one control, kept whether or not a window shows it. Setters tell the
// backend (when the form has one) so that a real window can mirror the change; events are plain
// callbacks fired by the backend, or by tests, through the Do... methods.
#include <memory>
#include <string>
#include <vector>

#include "ui/types.h"

namespace ui {

class TForm;

enum class ControlKind {
  kForm,
  kLabel,
  kCheckBox,
  kButton,
  kEdit,
  kComboBox,
  kListBox,
  kPanel,
  kGroupBox,
  kPageControl,
  kTabSheet,
  kStatusBar,
  kListView,
  kImage,
  kMemo,
  kWebBrowser,
};

class TControl {
 public:
  TControl(TControl* parent, std::string name, ControlKind kind);
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  const std::string& Name() const { return name_; }
  ControlKind Kind() const { return kind_; }
  TControl* Parent() const { return parent_; }
  TForm* Form() const;
  // Children in creation order, which is also their painting order (later ones on top).
  const std::vector<TControl*>& Controls() const { return children_; }

  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width; }
  int Height() const { return bounds_.Height; }
  const TRect& BoundsRect() const { return bounds_; }
  void SetBounds(int left, int top, int width, int height);
  void SetPosition(int left, int top) { SetBounds(left, top, Width(), Height()); }
  void SetSize(int width, int height) { SetBounds(Left(), Top(), width, height); }

  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Text of labels, buttons, check boxes, edits, group boxes, tab sheets and window captions.
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool show);

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  void SetFontColor(TColor color);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  // Pixels kept free around an aligned control (the margins of alClient and friends).
  int AlignMargin() const { return align_margin_; }
  void SetAlignMargin(int margin);
  // Place among its siblings when Tab moves the focus, lowest first; -1 (the default) keeps the
  // creation order, as the siblings' own places.
  int TabOrder() const { return tab_order_; }
  void SetTabOrder(int order) { tab_order_ = order; }
  // A label or picture that acts (a link, the start picture) takes the focus with Tab and acts on
  // Enter (pictures on Space too); standard controls take it anyway.
  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool tab_stop) { tab_stop_ = tab_stop; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnChange;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  // The keyboard's press of a label or picture that is a tab stop; without it, OnClick serves.
  TNotifyEvent OnKeyClick;

  // A click made by code (as TButton.Click): fires OnClick; errors reach the caller.
  virtual void Click();

  // Entry points for the backend and tests: the user did this. Errors thrown by a handler go to
  // the application's general error display and the event ends there. Clicks and mouse presses
  // reach only a control that takes input: a message posted to a hidden or disabled control
  // (or one inside a hidden or disabled parent) does nothing.
  void DoClick();
  void DoDblClick();
  void DoMouseEnter();
  void DoMouseLeave();
  void DoMouseDown(TMouseButton button, int x, int y);
  void DoMouseUp(TMouseButton button, int x, int y);
  void DoChange();
  void DoKeyClick();
  bool TakesInput() const;

  // Opaque slot for the backend's own object (a window handle and friends).
  void* peer = nullptr;

 protected:
  // Tells the backend that a property changed.
  void Changed();

 private:
  void Guard(const TNotifyEvent& event);

  std::string name_;
  ControlKind kind_;
  TControl* parent_;
  std::vector<TControl*> children_;
  TRect bounds_;
  bool visible_ = true;
  bool enabled_ = true;
  std::string caption_;
  std::string hint_;
  bool show_hint_ = false;
  TFont font_;
  TColor color_ = clDefault;
  bool transparent_ = false;
  TCursor cursor_ = TCursor::crDefault;
  TAlign align_ = TAlign::alNone;
  int align_margin_ = 0;
  int tab_order_ = -1;
  bool tab_stop_ = false;
};

}  // namespace ui
