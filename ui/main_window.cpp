#include "ui/main_window.h"

#include <algorithm>

#include "ui/events.h"

namespace wm::ui {
namespace {

constexpr const char* kClassName = "Wendmere.MainWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kMaxWidth = 32627;

// Tab and Shift+Tab walk the tab stops row by row, left to right.
constexpr Source kTabOrder[] = {
    Source::编辑框1, Source::按钮3,         Source::编辑框2,       Source::按钮1, Source::编辑框3,
    Source::按钮2,   Source::超文本浏览框1, Source::超文本浏览框2, Source::按钮4,
};

bool can_take_tab_focus(HWND w) {
    return w && IsWindowVisible(w) && IsWindowEnabled(w) && (GetWindowLongA(w, GWL_STYLE) & WS_TABSTOP);
}

bool modifiers_down() { return GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_MENU) < 0; }

// Whether the focused window wants this key for itself (a multi-line edit box
// wants Enter, for example).
bool claims_key(HWND focus, MSG& msg) {
    if (!focus) return false;
    LRESULT code = SendMessageA(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    return (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0;
}

}  // namespace

std::unique_ptr<MainWindow> MainWindow::create() {
    std::unique_ptr<MainWindow> w(new MainWindow());
    if (!w->create_window() || !w->create_controls()) return nullptr;  // ~MainWindow destroys what exists
    return w;
}

MainWindow::~MainWindow() {
    if (hwnd_) DestroyWindow(hwnd_);
}

bool MainWindow::create_window() {
    HINSTANCE inst = module_instance();
    icon_ = LoadIconA(inst, "DEFAULT_ICON");
    WNDCLASSEXA wc{};
    if (!GetClassInfoExA(inst, kClassName, &wc)) {
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = &MainWindow::proc;
        wc.hInstance = inst;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hIcon = icon_;
        wc.lpszClassName = kClassName;
        if (!RegisterClassExA(&wc)) return false;
    }
    const MainWindowLayout& s = main_window_layout();
    const int left = (GetSystemMetrics(SM_CXSCREEN) - s.width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - s.height) / 2;
    if (!CreateWindowExA(0, kClassName, s.title, kStyle, left, top, s.width, s.height, nullptr, nullptr, inst, this))
        return false;
    RECT r;
    GetWindowRect(hwnd_, &r);
    if (r.right - r.left != s.width || r.bottom - r.top != s.height)
        SetWindowPos(hwnd_, nullptr, left, top, s.width, s.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (icon_) {
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
        SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
    }
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(default_font()), FALSE);
    return true;
}

bool MainWindow::create_controls() {
    for (const ControlLayout& layout : controls()) {
        std::unique_ptr<Control> c = create_control(layout, hwnd_);
        if (!c) return false;
        controls_.push_back(std::move(c));
    }
    // Controls held by another control move into it, keeping their place.
    for (auto& c : controls_)
        if (c->layout().parent != Source::Main && c->hwnd()) SetParent(c->hwnd(), control(c->layout().parent)->hwnd());
    // Z-order as listed: the first of each parent on top, each next one below
    // the previous sibling.
    std::vector<std::pair<HWND, HWND>> last_of_parent;  // parent window -> last placed child
    for (auto& c : controls_) {
        if (!c->hwnd()) continue;
        HWND parent = GetParent(c->hwnd());
        auto it =
            std::find_if(last_of_parent.begin(), last_of_parent.end(), [&](auto& p) { return p.first == parent; });
        HWND after = it == last_of_parent.end() ? HWND_TOP : it->second;
        SetWindowPos(c->hwnd(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (it == last_of_parent.end())
            last_of_parent.emplace_back(parent, c->hwnd());
        else
            it->second = c->hwnd();
    }
    return true;
}

void MainWindow::show_controls() {
    for (auto& c : controls_)
        if (c->layout().shown && c->hwnd()) ShowWindow(c->hwnd(), SW_SHOWNA);
}

Control* MainWindow::control(Source id) const {
    for (auto& c : controls_)
        if (c->id() == id) return c.get();
    return nullptr;
}

std::string MainWindow::text(Source edit_box) const {
    Control* c = control(edit_box);
    if (!c || !c->hwnd()) return {};
    int n = GetWindowTextLengthA(c->hwnd());
    std::string s(static_cast<size_t>(std::max(n, 0)) + 1, '\0');
    int got = GetWindowTextA(c->hwnd(), s.data(), static_cast<int>(s.size()));
    s.resize(static_cast<size_t>(std::max(got, 0)));
    return s;
}

void MainWindow::set_text(Source edit_box, std::string_view text) {
    Control* c = control(edit_box);
    if (!c || !c->hwnd()) return;
    std::string z(text);
    SetWindowTextA(c->hwnd(), z.c_str());
}

void MainWindow::set_width(int w) {
    if (!hwnd_) return;
    w = std::clamp(w, 0, kMaxWidth);
    RECT r;
    GetWindowRect(hwnd_, &r);
    SetWindowPos(hwnd_, nullptr, 0, 0, w, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Control* MainWindow::control_holding(HWND focus) const {
    for (HWND w = focus; w && w != hwnd_; w = GetParent(w))
        if (Control* c = Control::from_window(w)) return c;
    return nullptr;
}

void MainWindow::move_focus(bool backwards) {
    std::vector<HWND> stops;
    for (Source id : kTabOrder)
        if (Control* c = control(id); c && can_take_tab_focus(c->hwnd())) stops.push_back(c->hwnd());
    if (stops.empty()) return;
    Control* holder = control_holding(GetFocus());
    auto at = holder ? std::find(stops.begin(), stops.end(), holder->hwnd()) : stops.end();
    size_t next;
    if (at == stops.end())
        next = backwards ? stops.size() - 1 : 0;
    else {
        size_t i = static_cast<size_t>(at - stops.begin());
        next = backwards ? (i + stops.size() - 1) % stops.size() : (i + 1) % stops.size();
    }
    SetFocus(stops[next]);
}

bool MainWindow::pre_translate(MSG& msg) {
    if (!hwnd_ || (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)) return false;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;

    HWND focus = GetFocus();
    if (Control* holder = control_holding(focus); holder && holder->translate_accelerator(msg)) return true;

    const bool ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0;
    switch (msg.wParam) {
        case VK_TAB:
            if (ctrl || alt) return false;
            move_focus(GetKeyState(VK_SHIFT) < 0);
            return true;
        case VK_ESCAPE:
            if (modifiers_down() || claims_key(focus, msg)) return false;
            SendMessageA(hwnd_, WM_CLOSE, 0, 0);
            return true;
        case VK_RETURN: {
            if (modifiers_down() || claims_key(focus, msg)) return false;
            // Enter clicks the default button; the layout has none, so Enter
            // clicks nothing and goes no further.
            auto is_default = [](HWND w) { return w && (SendMessageA(w, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON); };
            if (is_default(focus)) {
                SendMessageA(focus, BM_CLICK, 0, 0);
                return true;
            }
            for (auto& c : controls_)
                if (c->layout().kind == Kind::Button && IsWindowVisible(c->hwnd()) && IsWindowEnabled(c->hwnd()) &&
                    is_default(c->hwnd())) {
                    SendMessageA(c->hwnd(), BM_CLICK, 0, 0);
                    break;
                }
            return true;
        }
        default:
            return false;
    }
}

LRESULT MainWindow::handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND: {
            RECT r;
            GetClientRect(hwnd_, &r);
            UniqueBrush back{CreateSolidBrush(main_window_layout().background.resolve())};
            FillRect(reinterpret_cast<HDC>(wp), &r, back.get());
            return 1;
        }
        case WM_PAINT: {
            PaintScope paint(hwnd_);  // the background is all there is
            return 0;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            if (Control* c = Control::from_window(reinterpret_cast<HWND>(lp)))
                if (HBRUSH b = c->colours(reinterpret_cast<HDC>(wp))) return reinterpret_cast<LRESULT>(b);
            break;
        case WM_COMMAND:
            route_command(wp, lp);
            return 0;
        case WM_TIMER:
            for (auto& c : controls_)
                if (c->layout().kind == Kind::Timer && timer_id_of(c->id()) == wp) raise_event(c->id(), event::kTick);
            return 0;
        case WM_ACTIVATE:
            if (LOWORD(wp) == WA_INACTIVE) {
                HWND f = GetFocus();
                if (f && IsChild(hwnd_, f)) last_focus_ = f;
            }
            break;
        case WM_SETFOCUS: {
            HWND target = last_focus_ && IsChild(hwnd_, last_focus_) ? last_focus_ : nullptr;
            if (!target)
                if (Control* first = control(Source::编辑框1)) target = first->hwnd();
            if (target) SetFocus(target);
            return 0;
        }
        case WM_MOVE:
            raise_event(Source::Main, event::kMoved);
            break;
        case WM_SIZE:
            raise_event(Source::Main, event::kResized);
            break;
        case WM_CLOSE:
            if (raise_event(Source::Main, event::kCanClose) != false) DestroyWindow(hwnd_);
            return 0;
        case WM_QUERYENDSESSION:
            return raise_event(Source::Main, event::kCanClose) != false;
        case WM_DESTROY:
            raise_event(Source::Main, event::kWillBeDestroyed);
            return 0;
        case WM_NCDESTROY: {
            hwnd_ = nullptr;
            if (on_gone_) on_gone_();
            return 0;
        }
        default:
            break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK MainWindow::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self || !self->hwnd_) return DefWindowProcA(hwnd, msg, wp, lp);
    return self->handle(msg, wp, lp);
}

}  // namespace wm::ui
