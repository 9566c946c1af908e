#include "update/updater.h"

#include <cstring>

#include "context/version.h"
#include "platform/exception.h"
#include "ui/tr.h"
#include "update/news_text.h"
#include "update/update_settings.h"

namespace {

constexpr const char* kAgent = "Torvex Updater 1.5.1";
constexpr size_t kChunk = 1025;

}  // namespace

std::string DownloadText(platform::Http& http, const std::string& Address, const platform::HttpLimits& limits) {
  std::string result;
  platform::InternetHandle session = http.Open(kAgent);
  if (!session) throw platform::Exception("Unable to initialize Wininet");
  // The cache would keep a copy of every answer, which the next scan then lists as garbage.
  platform::InternetHandle request =
      http.OpenUrl(session, Address, platform::kInternetFlagReload | platform::kInternetFlagNoCacheWrite, limits);
  if (!request) {
    result = "0";
  } else {
    char buffer[kChunk];
    size_t received = 0;
    for (;;) {
      std::memset(buffer, 0, sizeof buffer);
      size_t read = http.Read(request, buffer, sizeof buffer);
      if (read == 0) break;
      received += read;
      // A longer body is no answer of the kind asked for; reading on would only fill memory.
      if (received > limits.max_body) {
        result = "0";
        break;
      }
      // A chunk's text ends at its first zero byte; the rest of that chunk is dropped.
      result.append(buffer, strnlen(buffer, sizeof buffer));
    }
    http.Close(request);
  }
  http.Close(session);
  return result;
}

bool IsInteger(const std::string& Text) {
  size_t i = 0;
  while (i < Text.size() && Text[i] == ' ') ++i;
  if (i < Text.size() && (Text[i] == '+' || Text[i] == '-')) ++i;
  if (i == Text.size()) return false;
  int64_t value = 0;
  for (; i < Text.size(); ++i) {
    if (Text[i] < '0' || Text[i] > '9') return false;
    value = value * 10 + (Text[i] - '0');
    if (value > 2147483648LL) return false;
  }
  const bool negative = Text.find('-') != std::string::npos;
  return negative ? value <= 2147483648LL : value <= 2147483647LL;
}

TfrmUpdater::TfrmUpdater(const TContext& context) : ui::TForm(context.app, "frmUpdater"), ctx_(context) {
  SetCaption("Clutterix");
  SetClientSize(549, 484);
  SetBorderStyle(ui::TBorderStyle::bsSizeable);
  SetPosition(ui::TPosition::poScreenCenter);
  MinWidth = 400;
  MinHeight = 200;
  TransparentColor = ui::clFuchsia;
  SetFont(ui::PixelFont("Tahoma", 11));

  StatusBar1 = Add<ui::TStatusBar>(this, "StatusBar1");
  StatusBar1->SetBounds(0, 465, 549, 19);
  StatusBar1->SetAlign(ui::TAlign::alBottom);

  Panel1 = Add<ui::TPanel>(this, "Panel1");
  Panel1->SetBounds(0, 430, 549, 35);
  Panel1->SetAlign(ui::TAlign::alBottom);
  Panel1->SetBevel(false);
  JvXPButton2 = Add<ui::TButton>(Panel1, "JvXPButton2");
  JvXPButton2->SetCaption(ui::Tr("Download Updates"));
  JvXPButton2->SetBounds(329, 8, 129, 25);
  JvXPButton2->SetDefault(true);
  JvXPButton2->OnClick = [this](ui::TControl* sender) { JvXPButton2Click(sender); };
  JvXPButton1 = Add<ui::TButton>(Panel1, "JvXPButton1");
  JvXPButton1->SetCaption(ui::TrC("update", "Skip"));
  JvXPButton1->SetBounds(464, 8, 75, 25);
  JvXPButton1->SetCancel(true);
  JvXPButton1->OnClick = [this](ui::TControl* sender) { JvXPButton1Click(sender); };

  WebBrowser1 = Add<ui::TWebBrowser>(this, "WebBrowser1");
  WebBrowser1->SetBounds(5, 5, 539, 420);
  WebBrowser1->SetAlign(ui::TAlign::alClient);
  WebBrowser1->SetAlignMargin(5);
  WebBrowser1->OnNavigateError = [this](ui::TControl* sender) { WebBrowser1NavigateError(sender); };

  lbNewsNote = Add<ui::TLabel>(this, "lbNewsNote");
  lbNewsNote->SetCaption(
      ui::Tr("The news about this release cannot be shown in this window. Read it in your web browser:"));
  lbNewsNote->SetBounds(5, 5, 539, 13);
  lbNewsNote->SetAlign(ui::TAlign::alTop);
  lbNewsNote->SetAlignMargin(5);
  lbNewsNote->SetVisible(false);

  lbNewsLink = Add<ui::TLabel>(this, "lbNewsLink");
  ui::TFont link = Font();
  link.Color = ui::clBlue;
  link.Underline = true;
  lbNewsLink->SetFont(link);
  lbNewsLink->SetBounds(5, 23, 539, 13);
  lbNewsLink->SetAlign(ui::TAlign::alTop);
  lbNewsLink->SetAlignMargin(5);
  lbNewsLink->SetCursor(ui::TCursor::crHandPoint);
  lbNewsLink->SetTabStop(true);
  lbNewsLink->SetVisible(false);
  lbNewsLink->OnClick = [this](ui::TControl* sender) { lbNewsLinkClick(sender); };

  memoNews = Add<ui::TMemo>(this, "memoNews");
  memoNews->SetBounds(5, 5, 539, 420);
  memoNews->SetAlign(ui::TAlign::alClient);
  memoNews->SetAlignMargin(5);
  memoNews->SetReadOnly(true);
  memoNews->SetVisible(false);

  OnShow = [this](ui::TControl* sender) { FormShow(sender); };
  FHost = kDefaultUpdateHost;
}

void TfrmUpdater::CheckForUpdates(const std::string& Address, int ReleaseNumber) {
  std::string response;
  try {
    response = DownloadText(ctx_.os.http, Address);
  } catch (const platform::Exception&) {
    throw;  // the system's own message, for the general error display
  } catch (const std::exception&) {
    return;  // a check that went wrong finds no update; the user never reads a library's text
  }
  if (IsInteger(response) && ReleaseNumber < std::stoi(response)) Show();
}

void TfrmUpdater::FormShow(ui::TControl*) {
  const bool embedded = WebBrowser1->Navigate(NewsAddress());
  if (embedded) {
    WebBrowser1->SetVisible(true);
    lbNewsNote->SetVisible(false);
    lbNewsLink->SetVisible(false);
    memoNews->SetVisible(false);
  } else {
    ShowNewsText();
  }
}

void TfrmUpdater::WebBrowser1NavigateError(ui::TControl*) {
  if (Visible()) ShowNewsText();
}

void TfrmUpdater::ShowNewsText() {
  const std::string news = NewsAddress();
  WebBrowser1->SetVisible(false);
  lbNewsNote->SetVisible(true);
  lbNewsLink->SetVisible(true);
  lbNewsLink->SetCaption(news);
  std::string text;
  try {
    // "0" is what an address that cannot be opened gives: then only the link is offered.
    const std::string page = DownloadText(ctx_.os.http, news, kNewsPageLimits);
    if (page != "0") text = NewsText(page);
  } catch (const std::exception&) {
  }
  memoNews->SetText(text);
  memoNews->SetVisible(!text.empty());
}

std::string TfrmUpdater::NewsAddress() const {
  return "http://" + FHost + "/zp/cx.php?ver=" CX_VERSION_TEXT "&type=news";
}

void TfrmUpdater::lbNewsLinkClick(ui::TControl*) { ctx_.os.shell.Execute(Handle(), "open", NewsAddress()); }

void TfrmUpdater::JvXPButton1Click(ui::TControl*) { Close(); }

void TfrmUpdater::JvXPButton2Click(ui::TControl*) {
  ctx_.os.shell.Execute(Handle(), "open", "http://" + FHost + "/files/clutterix_setup.exe");
}
