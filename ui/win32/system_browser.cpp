#include "ui/win32/system_browser.h"

#include <exdispid.h>

#include <string>

namespace ui::win32 {

namespace {

// Every reference on a host object of this process, for SystemBrowserHostReferences. The control
// may take and drop references from any thread of its own, hence the interlocked counts.
volatile LONG g_host_references = 0;

// The reference count of one host object, mirrored into the process-wide count.
class HostRefs {
 public:
  HostRefs() { InterlockedIncrement(&g_host_references); }
  ULONG Add() {
    InterlockedIncrement(&g_host_references);
    return static_cast<ULONG>(InterlockedIncrement(&refs_));
  }
  ULONG Drop() {
    InterlockedDecrement(&g_host_references);
    return static_cast<ULONG>(InterlockedDecrement(&refs_));
  }

 private:
  volatile LONG refs_ = 1;
};

}  // namespace

long SystemBrowserHostReferences() { return InterlockedCompareExchange(&g_host_references, 0, 0); }

// The container side of in-place activation: client site, in-place site and frame in one object,
// all on the host window. The frame has no menus, tool space or status line to offer.
class BrowserSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
 public:
  explicit BrowserSite(HWND host) : host_(host) {}

  // Lets go of the control's active object; the control lets go of the site when it is closed.
  void Forget() { SetActiveObject(nullptr, nullptr); }
  IOleInPlaceActiveObject* ActiveObject() const { return active_; }

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
      *out = static_cast<IOleClientSite*>(this);
    else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
      *out = static_cast<IOleInPlaceSite*>(this);
    else if (IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame))
      *out = static_cast<IOleInPlaceFrame*>(this);
    else
      return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return refs_.Add(); }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = refs_.Drop();
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (of the in-place site and of the frame alike)
  STDMETHODIMP GetWindow(HWND* window) override {
    if (!window) return E_POINTER;
    *window = host_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO info) override {
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    GetClientRect(host_, position);
    *clip = *position;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(host_, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }  // the host decides the size

  // IOleInPlaceUIWindow
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override { return widths ? INPLACE_E_NOTOOLSPACE : S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
    if (object) object->AddRef();
    if (active_) active_->Release();
    active_ = object;
    return S_OK;
  }

  // IOleInPlaceFrame
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  ~BrowserSite() = default;

  HWND host_;
  HostRefs refs_;
  IOleInPlaceActiveObject* active_ = nullptr;
};

// The sink for the control's DWebBrowserEvents2. Only a failed navigation of the page itself
// matters here (not of a frame inside it): the host is told, and the control's own error page,
// which would stand in the host's place, is cancelled.
class BrowserEvents final : public IDispatch {
 public:
  explicit BrowserEvents(std::function<void()> failed) : failed_(std::move(failed)) {}

  // The control's top-level browser, to tell its events from those of frames; borrowed.
  void SetBrowser(IUnknown* browser) { browser_ = browser; }
  // No more reports: a control that kept the sink past its owner must not reach the owner.
  void Detach() {
    failed_ = nullptr;
    browser_ = nullptr;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, DIID_DWebBrowserEvents2))
      return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return refs_.Add(); }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = refs_.Drop();
    if (left == 0) delete this;
    return left;
  }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    // NavigateError(pDisp, URL, Frame, StatusCode, Cancel): the arguments arrive last first.
    if (id != DISPID_NAVIGATEERROR || !params || params->cArgs != 5) return S_OK;
    VARIANT& frame = params->rgvarg[4];
    VARIANT& cancel = params->rgvarg[0];
    if (!IsTopLevel(frame)) return S_OK;
    if (cancel.vt == (VT_BOOL | VT_BYREF) && cancel.pboolVal) *cancel.pboolVal = VARIANT_TRUE;
    if (failed_) failed_();
    return S_OK;
  }

 private:
  ~BrowserEvents() = default;

  bool IsTopLevel(const VARIANT& frame) const {
    if (frame.vt != VT_DISPATCH || !frame.pdispVal || !browser_) return true;
    IUnknown* identity = nullptr;
    if (FAILED(frame.pdispVal->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)))) return true;
    const bool same = identity == browser_;
    identity->Release();
    return same;
  }

  HostRefs refs_;
  std::function<void()> failed_;
  IUnknown* browser_ = nullptr;
};

namespace {

// Releases a COM pointer and clears it.
template <class T>
void ReleaseAndClear(T*& p) {
  if (p) p->Release();
  p = nullptr;
}

}  // namespace

SystemBrowser::SystemBrowser(HWND host, BrowserSite* site) : host_(host), site_(site) {}

std::unique_ptr<SystemBrowser> SystemBrowser::Create(HWND host) {
  if (!host) return nullptr;
  std::unique_ptr<SystemBrowser> self(new SystemBrowser(host, new BrowserSite(host)));
  if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                              reinterpret_cast<void**>(&self->object_)))) {
    self->object_ = nullptr;
    return nullptr;  // the destructor lets go of the site
  }
  IOleClientSite* site = static_cast<IOleClientSite*>(self->site_);
  if (FAILED(self->object_->SetClientSite(site))) return nullptr;
  RECT area;
  GetClientRect(host, &area);
  if (FAILED(self->object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site, 0, host, &area))) return nullptr;
  if (FAILED(self->object_->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&self->browser_)))) {
    self->browser_ = nullptr;
    return nullptr;
  }
  // Script errors and other prompts of the page would stand in front of the user.
  self->browser_->put_Silent(VARIANT_TRUE);
  // Without its events a failed page would leave an empty control where the news should be.
  if (!self->Advise()) return nullptr;
  return self;
}

bool SystemBrowser::Advise() {
  IConnectionPointContainer* container = nullptr;
  if (FAILED(browser_->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container))))
    return false;
  const HRESULT found = container->FindConnectionPoint(DIID_DWebBrowserEvents2, &events_point_);
  container->Release();
  if (FAILED(found)) {
    events_point_ = nullptr;
    return false;
  }
  // The sink calls back through the browser object, which the host may have replaced or left by
  // the time an event comes: so it goes through `this`, which outlives the connection.
  events_ = new BrowserEvents([this] {
    if (OnNavigateError) OnNavigateError();
  });
  IUnknown* identity = nullptr;
  if (SUCCEEDED(browser_->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)))) {
    events_->SetBrowser(identity);
    identity->Release();  // the control holds it as long as the sink listens
  }
  if (FAILED(events_point_->Advise(static_cast<IDispatch*>(events_), &events_cookie_))) {
    events_cookie_ = 0;
    return false;
  }
  return true;
}

void SystemBrowser::Unadvise() {
  if (events_point_) {
    if (events_cookie_) events_point_->Unadvise(events_cookie_);
    ReleaseAndClear(events_point_);
  }
  events_cookie_ = 0;
  if (events_) events_->Detach();
  ReleaseAndClear(events_);
}

SystemBrowser::~SystemBrowser() {
  // No events from here on: stopping may report the navigation it cuts short as failed.
  Unadvise();
  if (browser_) browser_->Stop();
  ReleaseAndClear(browser_);
  if (object_) {
    IOleInPlaceObject* in_place = nullptr;
    if (SUCCEEDED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&in_place)))) {
      in_place->InPlaceDeactivate();
      in_place->Release();
    }
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
    ReleaseAndClear(object_);
  }
  site_->Forget();
  // The control lets go of the site when it is closed; what it still holds now is a leak.
  if (const ULONG left = site_->Release()) {
    const std::string line =
        "system browser: the control still holds " + std::to_string(left) + " references to its site\n";
    OutputDebugStringA(line.c_str());
  }
}

IUnknown* SystemBrowser::Site() const { return static_cast<IOleClientSite*>(site_); }

bool SystemBrowser::Navigate(const std::string& url) {
  if (!browser_) return false;
  const int length = MultiByteToWideChar(CP_ACP, 0, url.c_str(), -1, nullptr, 0);
  if (length <= 0) return false;
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, url.c_str(), -1, wide.data(), length);
  BSTR address = SysAllocString(wide.c_str());
  if (!address) return false;
  VARIANT none;
  VariantInit(&none);
  const HRESULT hr = browser_->Navigate(address, &none, &none, &none, &none);
  SysFreeString(address);
  return SUCCEEDED(hr);
}

void SystemBrowser::Resize(int width, int height) {
  if (!object_) return;
  IOleInPlaceObject* in_place = nullptr;
  if (FAILED(object_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&in_place)))) return;
  RECT area{0, 0, width, height};
  in_place->SetObjectRects(&area, &area);
  in_place->Release();
}

bool SystemBrowser::TranslateKey(MSG& msg) {
  IOleInPlaceActiveObject* active = site_->ActiveObject();
  return active && active->TranslateAccelerator(&msg) == S_OK;
}

void SystemBrowser::TakeFocus() {
  if (!object_) return;
  RECT area;
  GetClientRect(host_, &area);
  object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, static_cast<IOleClientSite*>(site_), 0, host_, &area);
}

std::unique_ptr<EmbeddedBrowser> CreateSystemBrowser(HWND host) { return SystemBrowser::Create(host); }

}  // namespace ui::win32
