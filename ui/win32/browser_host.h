#pragma once
// The seam for an embedded web browser. The backend gives every TWebBrowser a plain host window;
// a browser implementation, once installed with Win32Backend::SetBrowserFactory, fills that
// window. Without one, TWebBrowser::Navigate answers false and the form shows the page another way.
#include <windows.h>

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
};

// Creates a browser inside the host window, or nullptr when none can be embedded here.
// Called on the GUI thread, once per host, at the first navigation.
using BrowserFactory = std::unique_ptr<EmbeddedBrowser> (*)(HWND host);

}  // namespace ui::win32
