// HTTP downloads over WinInet, with short time-outs so that a server that never answers does not
// hold the window for long (the check runs on the GUI thread).
#include <windows.h>
#include <wininet.h>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

constexpr DWORD kTimeoutMs = 5000;

class Win32Http : public Http {
 public:
  InternetHandle Open(const std::string& agent) override {
    HINTERNET session = InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (session) {
      DWORD timeout = kTimeoutMs;
      for (DWORD option :
           {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
        InternetSetOptionA(session, option, &timeout, sizeof timeout);
    }
    return reinterpret_cast<InternetHandle>(session);
  }

  InternetHandle OpenUrl(InternetHandle session, const std::string& url, uint32_t flags) override {
    return reinterpret_cast<InternetHandle>(
        InternetOpenUrlA(reinterpret_cast<HINTERNET>(session), url.c_str(), nullptr, 0, flags, 0));
  }

  size_t Read(InternetHandle request, char* buffer, size_t size) override {
    DWORD read = 0;
    if (!InternetReadFile(reinterpret_cast<HINTERNET>(request), buffer, static_cast<DWORD>(size), &read)) return 0;
    return read;
  }

  void Close(InternetHandle handle) override { InternetCloseHandle(reinterpret_cast<HINTERNET>(handle)); }
};

}  // namespace

std::unique_ptr<Http> CreateHttp() { return std::make_unique<Win32Http>(); }

}  // namespace platform::win32
