#pragma once
// What the widget layer asks of a screen. The Win32 backend mirrors the controls to real windows
// and turns window messages into the controls' Do... events; the tests' backend records calls and
// answers modal loops from a script.
#include <string>

#include "platform/shell.h"
#include "ui/types.h"

namespace ui {

class TControl;
class TComponent;
class TForm;
class TListView;
class TTrayIcon;
class TWebBrowser;
enum class ListChange;

class Backend {
 public:
  virtual ~Backend() = default;

  virtual void ShowForm(TForm& form) = 0;
  virtual void HideForm(TForm& form) = 0;
  // Runs a modal loop for a shown form until form.ModalResult() is set, then returns it.
  virtual TModalResult RunModal(TForm& form) = 0;

  // A property of a control (or a form) changed.
  virtual void ControlChanged(TControl& control) = 0;
  // Rows of a list view changed: one row (index) or, for kCleared and kColumns, all of them.
  virtual void ListViewChanged(TListView& list, ListChange change, int index) = 0;
  // A timer, image list or tray icon changed.
  virtual void ComponentChanged(TComponent& component) = 0;
  virtual void ShowBalloon(TTrayIcon& icon) = 0;
  // False when no browser can be embedded here; the caller then shows the page another way.
  virtual bool Navigate(TWebBrowser& browser, const std::string& url) = 0;

  // While a form is frozen (a batch of changes) its windows wait; thawed, they take what changed
  // meanwhile at once, each control's last state only, and paint it once.
  virtual void FreezeForm(TForm& /*form*/, bool /*frozen*/) {}
  virtual void PostMessage(TForm& form, unsigned message) = 0;
  virtual platform::WindowHandle Handle(const TForm& form) = 0;

  // The message loop, until Terminate.
  virtual void Run() = 0;
  virtual void Terminate() = 0;
  // The application's general error display: a message box with the error's text.
  virtual void ShowErrorMessage(const std::string& title, const std::string& text) = 0;
};

}  // namespace ui
