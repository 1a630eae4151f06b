#include "ui/html_view.h"

#include <exdisp.h>
#include <ole2.h>

#include <algorithm>
#include <vector>

#include "ui/browser_sites.h"
#include "ui/com_ptr.h"
#include "ui/events.h"

namespace wm::ui {
namespace {

constexpr const char* kClassName = "Wendmere.HtmlViewer";

std::wstring widen(std::string_view ansi) {
    if (ansi.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(n, 0)), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
    return wide;
}

std::string narrow(const wchar_t* wide) {
    int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string ansi(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi.data(), n, nullptr, nullptr);
    ansi.resize(static_cast<size_t>(n - 1));
    return ansi;
}

// A BSTR owned for one scope.
class Bstr {
public:
    explicit Bstr(const std::wstring& s) : b_(SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(b_); }
    BSTR get() const { return b_; }

private:
    BSTR b_;
};

// A VARIANT cleared at the end of its scope.
struct Variant : VARIANT {
    Variant() { VariantInit(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(this); }
};

class HtmlView final : public OwnWindowControl, private BrowserContainer {
public:
    explicit HtmlView(const ControlLayout& layout) : OwnWindowControl(layout) {}
    ~HtmlView() override { close_browser(); }

    bool create(HWND parent) {
        if (!register_class(kClassName, nullptr, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))) ||
            !create_window(kClassName, parent, 0, ""))
            return false;
        if (!open_browser()) {
            close_browser();
            DestroyWindow(hwnd());
            return false;
        }
        apply_settings();
        if (*layout().html.url) navigate(layout().html.url);
        return true;
    }

    HRESULT navigate(std::string_view address) {
        if (!browser_) return E_UNEXPECTED;
        Bstr url(widen(address));
        Variant flags, target, post_data, headers;
        flags.vt = VT_I4;
        flags.lVal = 0;
        target.vt = VT_BSTR;  // no target frame
        target.bstrVal = nullptr;
        headers.vt = VT_BSTR;  // no extra headers
        headers.bstrVal = nullptr;
        return browser_->Navigate(url.get(), &flags, &target, &post_data, &headers);
    }

    const std::string& pending() const { return pending_; }

    bool translate_accelerator(MSG& msg) override {
        auto active = browser_.as<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
        return active && active->TranslateAccelerator(&msg) == S_OK;
    }

private:
    bool open_browser() {
        if (FAILED(CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                    reinterpret_cast<void**>(ole_.put()))))
            return false;
        ole_->SetClientSite(&sites_.client_site);
        OleSetContainedObject(ole_.get(), TRUE);
        RECT r;
        GetClientRect(hwnd(), &r);
        if (FAILED(ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &sites_.client_site, 0, hwnd(), &r))) return false;
        browser_ = ole_.as<IWebBrowser2>(IID_IWebBrowser2);
        if (!browser_) return false;
        if (auto points = ole_.as<IConnectionPointContainer>(IID_IConnectionPointContainer))
            if (SUCCEEDED(points->FindConnectionPoint(DIID_DWebBrowserEvents2, events_.put())))
                if (FAILED(events_->Advise(&sites_.events, &cookie_))) events_.reset();
        return true;
    }

    // Offline, silent and the text size; the browser's answers do not matter.
    void apply_settings() {
        const HtmlSettings& s = layout().html;
        browser_->put_Offline(s.offline ? VARIANT_TRUE : VARIANT_FALSE);
        browser_->put_Silent(s.silent ? VARIANT_TRUE : VARIANT_FALSE);
        Variant zoom;
        zoom.vt = VT_I4;
        zoom.lVal = std::clamp(s.font_size, 0, 4);
        browser_->ExecWB(OLECMDID_ZOOM, OLECMDEXECOPT_DONTPROMPTUSER, &zoom, nullptr);
    }

    void close_browser() {
        if (events_) {
            events_->Unadvise(cookie_);
            events_.reset();
        }
        browser_.reset();
        if (ole_) {
            ole_->Close(OLECLOSE_NOSAVE);
            ole_->SetClientSite(nullptr);
            ole_.reset();
        }
    }

    HWND browser_window() const {
        HWND w = nullptr;
        if (auto in_place = ole_.as<IOleInPlaceObject>(IID_IOleInPlaceObject)) in_place->GetWindow(&w);
        return w;
    }

    LRESULT handle(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
            case WM_SIZE:
                if (auto in_place = ole_.as<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
                    RECT r;
                    GetClientRect(hwnd(), &r);
                    in_place->SetObjectRects(&r, &r);
                }
                return 0;
            case WM_SETFOCUS:
                if (HWND w = browser_window()) SetFocus(w);
                return 0;
            case WM_DESTROY:
                close_browser();
                return 0;
            default:
                return OwnWindowControl::handle(msg, wp, lp);
        }
    }

    // BrowserContainer
    HWND container_window() const override { return hwnd(); }

    bool before_navigate(const wchar_t* url) override {
        pending_ = narrow(url);
        Verdict verdict = raise_event(id(), event::kAboutToNavigate);
        pending_.clear();
        return verdict == false;
    }

    bool new_window() override { return raise_event(id(), event::kAboutToOpenWindow) == false; }

    BrowserSites sites_{*this};
    ComPtr<IOleObject> ole_;
    ComPtr<IWebBrowser2> browser_;
    ComPtr<IConnectionPoint> events_;
    DWORD cookie_ = 0;
    std::string pending_;
};

}  // namespace

HRESULT navigate(Control& view, std::string_view address) {
    auto* html = dynamic_cast<HtmlView*>(&view);
    return html ? html->navigate(address) : E_INVALIDARG;
}

std::string pending_address(const Control& view) {
    auto* html = dynamic_cast<const HtmlView*>(&view);
    return html ? html->pending() : std::string();
}

std::unique_ptr<Control> create_html_view(const ControlLayout& layout, HWND parent) {
    auto view = std::make_unique<HtmlView>(layout);
    if (!view->create(parent)) return nullptr;
    return view;
}

}  // namespace wm::ui
