#pragma once
// TfrmUpdater and the update check: asks the update script for the latest release number and,
// when it is newer, shows the news page with a download button.
#include <string>

#include "context/context.h"
#include "platform/internet.h"
#include "ui/controls.h"
#include "ui/form.h"

class TfrmUpdater : public ui::TForm {
 public:
  explicit TfrmUpdater(const TContext& context);

  ui::TWebBrowser* WebBrowser1;
  // In the browser's place where no browser can be embedded: a line saying so, the news page's
  // address as a link to the user's own browser, and the page's text when it can be fetched.
  ui::TLabel* lbNewsNote;
  ui::TLabel* lbNewsLink;
  ui::TMemo* memoNews;
  ui::TPanel* Panel1;
  ui::TButton* JvXPButton2;
  ui::TButton* JvXPButton1;
  ui::TStatusBar* StatusBar1;

  // Address: the full address of the release query; ReleaseNumber: the running release.
  void CheckForUpdates(const std::string& Address, int ReleaseNumber);
  void FormShow(ui::TControl* Sender);
  void JvXPButton1Click(ui::TControl* Sender);
  void JvXPButton2Click(ui::TControl* Sender);
  void lbNewsLinkClick(ui::TControl* Sender);
  // The browser could not show the page after all: the text takes its place.
  void WebBrowser1NavigateError(ui::TControl* Sender);

  // The host (host or host:port) that the news page and setup addresses are built on.
  std::string FHost;
  std::string NewsAddress() const;

 private:
  // The fallback in the browser's place: the note, the link and the page's text when it comes.
  void ShowNewsText();

  TContext ctx_;
};

// A release number is a few bytes; the news page is a small page. Either comes within about
// 10 s or not at all, so that a slow server cannot hold the start-up.
inline constexpr platform::HttpLimits kReleaseQueryLimits{10000, 1024, 3};
inline constexpr platform::HttpLimits kNewsPageLimits{10000, 256 * 1024, 3};

// The whole body of an HTTP address as text, fetched past every cache and leaving nothing in it;
// "0" when the address cannot be opened or the body is longer than limits.max_body. Throws
// "Unable to initialize Wininet" when no Internet handle can be opened.
std::string DownloadText(platform::Http& http, const std::string& Address,
                         const platform::HttpLimits& limits = kReleaseQueryLimits);
// Whether Text is a whole number: optional leading spaces, an optional sign, decimal digits and
// nothing after them, within 32 bits.
bool IsInteger(const std::string& Text);
