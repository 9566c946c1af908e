#pragma once
// The seam for an embedded web browser. The backend gives every TWebBrowser a plain host window
// and fills it through its browser factory: by default the system's web browser control
// (CreateSystemBrowser); Win32Backend::SetBrowserFactory replaces it. When the factory gives no
// browser, TWebBrowser::Navigate answers false and the form shows the page another way.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace ui::win32 {

class EmbeddedBrowser {
 public:
  virtual ~EmbeddedBrowser() = default;
  // Starts loading the address; false when the browser cannot.
  virtual bool Navigate(const std::string& url) = 0;
  // The host window changed size; the browser fills its client area.
  virtual void Resize(int width, int height) = 0;
  // A key message for a window inside the browser, before the dialog keys of the form see it;
  // true when the page used it (Tab between its links, say).
  virtual bool TranslateKey(MSG&) { return false; }
  // The host window received the keyboard focus (by Tab or a click): the page takes it.
  virtual void TakeFocus() {}

  // Set by the host: called on the GUI thread, from the browser's own event, when a navigation
  // ended without a page to show (the server failed, or nothing here can render the page).
  std::function<void()> OnNavigateError;
};

// Creates a browser inside the host window, or nullptr when none can be embedded here.
// Called on the GUI thread, once per host, at the first navigation.
using BrowserFactory = std::unique_ptr<EmbeddedBrowser> (*)(HWND host);

// The system's web browser control (CLSID_WebBrowser), activated in place in the host window,
// silent (no script error dialogs); nullptr when it cannot be created or activated. Needs OLE
// initialised on the calling thread.
std::unique_ptr<EmbeddedBrowser> CreateSystemBrowser(HWND host);

}  // namespace ui::win32
