#include "ui/win32/system_browser.h"

#include <string>

namespace ui::win32 {

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
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --refs_;
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
  ULONG refs_ = 1;
  IOleInPlaceActiveObject* active_ = nullptr;
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
  return self;
}

SystemBrowser::~SystemBrowser() {
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
  site_->Release();
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
