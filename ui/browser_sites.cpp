#include "ui/browser_sites.h"

#include <exdispid.h>

namespace wm::ui {
namespace {

template <typename T>
HRESULT hand_out(T* object, void** out) {
    object->AddRef();
    *out = object;
    return S_OK;
}

HRESULT no_interface(void** out) {
    *out = nullptr;
    return E_NOINTERFACE;
}

// The argument of an event, looking through a by-reference variant.
const VARIANT* deref(const VARIANT& v) { return v.vt == (VT_VARIANT | VT_BYREF) ? v.pvarVal : &v; }

void set_cancel(VARIANT& cancel, bool value) {
    if (cancel.vt == (VT_BOOL | VT_BYREF) && cancel.pboolVal) *cancel.pboolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

}  // namespace

HRESULT ClientSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) return hand_out(this, out);
    if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) return hand_out(&sites_.in_place_site, out);
    return no_interface(out);
}

HRESULT ClientSite::GetContainer(IOleContainer** out) {
    if (out) *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT InPlaceSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) return hand_out(this, out);
    if (iid == IID_IOleClientSite) return hand_out(&sites_.client_site, out);
    return no_interface(out);
}

HRESULT InPlaceSite::GetWindow(HWND* out) {
    if (!out) return E_POINTER;
    *out = sites_.container.container_window();
    return S_OK;
}

HRESULT InPlaceSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos, RECT* clip,
                                      OLEINPLACEFRAMEINFO* info) {
    if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
    HWND w = sites_.container.container_window();
    hand_out(&sites_.frame, reinterpret_cast<void**>(frame));
    *doc = nullptr;
    GetClientRect(w, pos);
    *clip = *pos;
    info->fMDIApp = FALSE;
    info->hwndFrame = GetAncestor(w, GA_ROOT);
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT InPlaceFrame::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IOleWindow || iid == IID_IOleInPlaceUIWindow ||
        iid == IID_IOleInPlaceFrame)
        return hand_out(this, out);
    return no_interface(out);
}

HRESULT InPlaceFrame::GetWindow(HWND* out) {
    if (!out) return E_POINTER;
    *out = GetAncestor(sites_.container.container_window(), GA_ROOT);
    return S_OK;
}

HRESULT EventSink::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DWebBrowserEvents2) return hand_out(this, out);
    return no_interface(out);
}

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    // Arguments arrive last first: Cancel is rgvarg[0].
    if (id == DISPID_BEFORENAVIGATE2 && params && params->cArgs == 7) {
        const VARIANT* url = deref(params->rgvarg[5]);
        const wchar_t* text = url && url->vt == VT_BSTR && url->bstrVal ? url->bstrVal : L"";
        set_cancel(params->rgvarg[0], sites_.container.before_navigate(text));
    } else if (id == DISPID_NEWWINDOW2 && params && params->cArgs == 2) {
        set_cancel(params->rgvarg[0], sites_.container.new_window());
    }
    return S_OK;
}

}  // namespace wm::ui
