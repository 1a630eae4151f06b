#include "ui/control.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "ui/events.h"

namespace wm::ui {
namespace {

std::vector<Control*>& live_controls() {
    static std::vector<Control*> list;
    return list;
}

}  // namespace

Control::Control(const ControlLayout& layout, HWND hwnd) : layout_(layout), hwnd_(hwnd) {
    live_controls().push_back(this);
}

Control::~Control() { std::erase(live_controls(), this); }

void Control::attach(HWND hwnd) { hwnd_ = hwnd; }

Control* Control::from_window(HWND hwnd) {
    if (!hwnd) return nullptr;
    for (Control* c : live_controls())
        if (c->hwnd_ == hwnd) return c;
    return nullptr;
}

std::unique_ptr<Control> create_control(const ControlLayout& layout, HWND parent) {
    switch (layout.kind) {
        case Kind::EditBox:
            return create_edit_box(layout, parent);
        case Kind::Button:
            return create_button(layout, parent);
        case Kind::PicBox:
            return create_pic_box(layout, parent);
        case Kind::TransLabel:
            return create_trans_label(layout, parent);
        case Kind::HyperLinker:
            return create_hyper_linker(layout, parent);
        case Kind::Timer:
            return create_timer(layout, parent);
        case Kind::HtmlViewer:
            return create_html_view(layout, parent);
    }
    return nullptr;
}

HINSTANCE module_instance() { return GetModuleHandleA(nullptr); }

HFONT default_font() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

UniqueFont make_font(const FontSetting& font) {
    if (font.pixel_height == 0) return UniqueFont{};
    LOGFONTA lf{};
    lf.lfHeight = -font.pixel_height;
    lf.lfWeight = FW_NORMAL;
    lf.lfItalic = font.italic;
    lf.lfUnderline = font.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = PROOF_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    return UniqueFont{CreateFontIndirectA(&lf)};
}

HCURSOR pointing_hand_cursor() {
    // Shared resource cursors are never destroyed.
    static HCURSOR cursor = [] {
        HCURSOR c = LoadCursorA(module_instance(), "POINTING_HAND");
        return c ? c : LoadCursor(nullptr, IDC_HAND);
    }();
    return cursor;
}

void route_command(WPARAM wparam, LPARAM lparam) {
    if (HIWORD(wparam) != BN_CLICKED) return;
    if (Control* c = Control::from_window(reinterpret_cast<HWND>(lparam)); c && c->layout().kind == Kind::Button)
        raise_event(c->id(), event::kClicked);
}

bool OwnWindowControl::register_class(const char* name, HCURSOR cursor, HBRUSH background) {
    WNDCLASSEXA wc{};
    if (GetClassInfoExA(module_instance(), name, &wc)) return true;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = &OwnWindowControl::proc;
    wc.hInstance = module_instance();
    wc.hCursor = cursor ? cursor : LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return RegisterClassExA(&wc) != 0;
}

bool OwnWindowControl::create_window(const char* class_name, HWND parent, DWORD ex_style, const char* text) {
    const ControlLayout& s = layout();
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (s.tab_stop ? WS_TABSTOP : 0);
    HWND h = CreateWindowExA(ex_style, class_name, text, style, s.left, s.top, s.width, s.height, parent, nullptr,
                             module_instance(), this);
    return h != nullptr;
}

LRESULT OwnWindowControl::handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN) {
        EventArgs args{GET_X_LPARAM(lp), GET_Y_LPARAM(lp), current_key_state()};
        if (raise_event(id(), event::kLeftButtonPressed, args) == false) return 0;
        return DefWindowProcA(hwnd(), msg, wp, lp);
    }
    if (msg == WM_SETCURSOR && layout().hand_cursor && LOWORD(lp) == HTCLIENT) {
        SetCursor(pointing_hand_cursor());
        return TRUE;
    }
    if (msg == WM_COMMAND) {
        route_command(wp, lp);
        return 0;
    }
    return DefWindowProcA(hwnd(), msg, wp, lp);
}

LRESULT CALLBACK OwnWindowControl::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<OwnWindowControl*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->attach(hwnd);
    }
    auto* self = reinterpret_cast<OwnWindowControl*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        LRESULT r = self->handle(msg, wp, lp);
        self->attach(nullptr);
        return r;
    }
    return self->handle(msg, wp, lp);
}

}  // namespace wm::ui
