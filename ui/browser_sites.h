// The container side of an embedded web browser: client site, in-place site,
// in-place frame and the DWebBrowserEvents2 sink. Each is a small COM object
// with one job; all four live inside BrowserSites, which lives as long as the
// view that hosts the browser, so their reference counts only follow COM's
// rules and never free anything.
#pragma once
#include <windows.h>
#include <exdisp.h>
#include <ole2.h>

namespace wm::ui {

// What the sites need from the view that holds them.
class BrowserContainer {
public:
    virtual HWND container_window() const = 0;
    // About to navigate to `url`; returns true to cancel.
    virtual bool before_navigate(const wchar_t* url) = 0;
    // The page asks for a new window; returns true to cancel.
    virtual bool new_window() = 0;

protected:
    ~BrowserContainer() = default;
};

class BrowserSites;

// What the four objects share: the way back to their siblings, and a
// reference count that only follows COM's rules (BrowserSites frees them).
template <typename Interface>
class SiteObject : public Interface {
public:
    explicit SiteObject(BrowserSites& sites) : sites_(sites) {}
    SiteObject(const SiteObject&) = delete;
    SiteObject& operator=(const SiteObject&) = delete;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }

protected:
    BrowserSites& sites_;

private:
    ULONG refs_ = 1;
};

class ClientSite final : public SiteObject<IOleClientSite> {
public:
    using SiteObject::SiteObject;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) override;
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
};

class InPlaceSite final : public SiteObject<IOleInPlaceSite> {
public:
    using SiteObject::SiteObject;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos,
                                               RECT* clip, OLEINPLACEFRAMEINFO* info) override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
};

class InPlaceFrame final : public SiteObject<IOleInPlaceFrame> {
public:
    using SiteObject::SiteObject;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
};

class EventSink final : public SiteObject<IDispatch> {
public:
    using SiteObject::SiteObject;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;
};

class BrowserSites {
public:
    explicit BrowserSites(BrowserContainer& container) : container(container) {}
    BrowserSites(const BrowserSites&) = delete;
    BrowserSites& operator=(const BrowserSites&) = delete;

    BrowserContainer& container;
    ClientSite client_site{*this};
    InPlaceSite in_place_site{*this};
    InPlaceFrame frame{*this};
    EventSink events{*this};
};

}  // namespace wm::ui
