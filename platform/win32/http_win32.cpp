// HTTP downloads over WinInet, bounded as a whole. WinInet's own time-outs apply per call (and
// Wine's do not stop a server that accepts and never answers, or trickles), so each exchange runs
// on a thread of its own while the caller waits for it until the deadline. A caller that gives
// up leaves the thread to end by itself: it owns copies of everything it uses, reads only what has
// arrived, stops between reads and hops once abandoned, and never touches the caller's buffers.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/win32/win32_platform.h"

namespace platform::win32 {
namespace {

using Clock = std::chrono::steady_clock;

// Per call, so that a thread left behind by a caller that gave up ends after a while too.
constexpr DWORD kCallTimeoutMs = 5000;
constexpr size_t kReadChunk = 4096;

// What InternetHandle values point at: sessions and finished requests.
struct HandleObject {
  virtual ~HandleObject() = default;
};

// A session lives until the caller has closed it and every exchange on it has ended.
struct Session {
  explicit Session(HINTERNET h) : internet(h) {}
  ~Session() { InternetCloseHandle(internet); }
  HINTERNET internet;
};

struct SessionObject : HandleObject {
  std::shared_ptr<Session> session;
};

// One exchange, shared by the caller and the thread that carries it out.
struct Exchange {
  std::shared_ptr<Session> session;
  std::string url;
  DWORD flags = 0;
  HttpLimits limits{};
  Clock::time_point deadline;

  std::mutex mutex;
  std::condition_variable changed;
  bool finished = false;
  bool abandoned = false;
  bool ok = false;
  std::string body;

  bool Abandoned() {
    std::lock_guard lock(mutex);
    return abandoned || Clock::now() >= deadline;
  }
};

struct RequestObject : HandleObject {
  std::string body;
  size_t pos = 0;
};

bool IsWebAddress(const std::string& url) {
  auto starts = [&](const char* scheme) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, url.c_str(),
                          static_cast<int>(std::min(url.size(), strlen(scheme))), scheme, -1) == CSTR_EQUAL;
  };
  return starts("http://") || starts("https://");
}

DWORD StatusOf(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
  return status;
}

// The address a redirect answer points at, resolved against the address that gave it; empty
// when there is none.
std::string RedirectTarget(HINTERNET request, const std::string& base) {
  char location[2048];
  DWORD size = sizeof location;
  if (!HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location, &size, nullptr)) return {};
  char combined[2048];
  DWORD length = sizeof combined;
  if (!InternetCombineUrlA(base.c_str(), location, combined, &length, ICU_NO_ENCODE)) return {};
  return std::string(combined, length);
}

// Opens the address and follows redirects; the open request with a 200 answer, or nullptr.
HINTERNET OpenFinal(Exchange& ex) {
  std::string url = ex.url;
  for (int hop = 0;; ++hop) {
    if (ex.Abandoned() || !IsWebAddress(url)) return nullptr;
    // Redirects are followed here, counted, rather than by WinInet, which follows a loop forever.
    HINTERNET request = InternetOpenUrlA(ex.session->internet, url.c_str(), nullptr, 0,
                                         ex.flags | INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_UI, 0);
    if (!request) return nullptr;
    const DWORD status = StatusOf(request);
    if (status == HTTP_STATUS_OK) return request;
    const bool redirect = status == HTTP_STATUS_MOVED || status == HTTP_STATUS_REDIRECT ||
                          status == HTTP_STATUS_REDIRECT_METHOD || status == HTTP_STATUS_REDIRECT_KEEP_VERB ||
                          status == 308;
    std::string next = redirect && hop < ex.limits.max_redirects ? RedirectTarget(request, url) : std::string();
    InternetCloseHandle(request);
    if (next.empty()) return nullptr;
    url = next;
  }
}

void Carry(const std::shared_ptr<Exchange>& ex) {
  bool ok = false;
  std::string body;
  if (HINTERNET request = OpenFinal(*ex)) {
    ok = true;
    char chunk[kReadChunk];
    const size_t wanted = ex->limits.max_body + 1;
    while (body.size() < wanted) {
      if (ex->Abandoned()) {
        ok = false;
        break;
      }
      // Only what has come: a read for more waits until that much arrives, which a trickle can
      // stretch past any deadline while the connection stays open.
      DWORD available = 0;
      if (!InternetQueryDataAvailable(request, &available, 0, 0) || available == 0) break;
      DWORD read = 0;
      const DWORD ask = static_cast<DWORD>(std::min({sizeof chunk, wanted - body.size(), size_t{available}}));
      // A failed read ends the body, as the end of the data does.
      if (!InternetReadFile(request, chunk, ask, &read) || read == 0) break;
      body.append(chunk, read);
    }
    InternetCloseHandle(request);
  }
  std::lock_guard lock(ex->mutex);
  ex->finished = true;
  ex->ok = ok && !ex->abandoned;
  ex->body = std::move(body);
  ex->changed.notify_all();
}

class Win32Http : public Http {
 public:
  InternetHandle Open(const std::string& agent) override {
    HINTERNET internet = InternetOpenA(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!internet) return 0;
    DWORD timeout = kCallTimeoutMs;
    for (DWORD option :
         {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT})
      InternetSetOptionA(internet, option, &timeout, sizeof timeout);
    auto object = std::make_unique<SessionObject>();
    object->session = std::make_shared<Session>(internet);
    return reinterpret_cast<InternetHandle>(static_cast<HandleObject*>(object.release()));
  }

  InternetHandle OpenUrl(InternetHandle session, const std::string& url, uint32_t flags,
                         const HttpLimits& limits) override {
    auto* owner = dynamic_cast<SessionObject*>(reinterpret_cast<HandleObject*>(session));
    if (!owner) return 0;
    auto ex = std::make_shared<Exchange>();
    ex->session = owner->session;
    ex->url = url;
    ex->flags = flags;
    ex->limits = limits;
    ex->deadline = Clock::now() + std::chrono::milliseconds(limits.deadline_ms);
    try {
      std::thread([ex] { Carry(ex); }).detach();
    } catch (const std::exception&) {
      return 0;  // no thread to carry the exchange: as an address that cannot be opened
    }
    std::unique_lock lock(ex->mutex);
    if (!ex->changed.wait_until(lock, ex->deadline, [&] { return ex->finished; })) {
      ex->abandoned = true;
      return 0;
    }
    if (!ex->ok) return 0;
    auto object = std::make_unique<RequestObject>();
    object->body = std::move(ex->body);
    return reinterpret_cast<InternetHandle>(static_cast<HandleObject*>(object.release()));
  }

  size_t Read(InternetHandle request, char* buffer, size_t size) override {
    auto* object = dynamic_cast<RequestObject*>(reinterpret_cast<HandleObject*>(request));
    if (!object) return 0;
    const size_t n = std::min(size, object->body.size() - object->pos);
    object->body.copy(buffer, n, object->pos);
    object->pos += n;
    return n;
  }

  void Close(InternetHandle handle) override { delete reinterpret_cast<HandleObject*>(handle); }
};

}  // namespace

std::unique_ptr<Http> CreateHttp() { return std::make_unique<Win32Http>(); }

}  // namespace platform::win32
