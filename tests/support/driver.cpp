#include "tests/support/driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace wm::drive {
namespace {

static_assert(sizeof(void*) == 4, "the PEB offsets below are those of a 32-bit process");

// Handles messages sent or posted to the driver's own windows (the clipboard
// hold's), so that no other process ever blocks on them while we wait.
void pump_own_messages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

// Class and variable names are ASCII; Windows compares them without case.
bool same_text_no_case(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string internal_title(HWND w) {
    char buf[512] = {};
    // For a window of another process this reads the title the system keeps;
    // it sends no message, so a busy program cannot block it.
    int n = GetWindowTextA(w, buf, sizeof buf);
    return std::string(buf, static_cast<size_t>(std::max(n, 0)));
}

// The screen DC, released at the end of the scope.
class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    ~ScreenDc() {
        if (dc_) ReleaseDC(nullptr, dc_);
    }
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A 32-bit top-down DIB section selected into a memory DC.
class DibCanvas {
public:
    DibCanvas(int width, int height) : width_(width), height_(height) {
        ScreenDc screen;
        dc_ = CreateCompatibleDC(screen.get());
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;  // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(screen.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
        if (dc_ && bitmap_) old_ = SelectObject(dc_, bitmap_);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    ~DibCanvas() {
        if (old_) SelectObject(dc_, old_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    bool ok() const { return dc_ && bitmap_ && bits_; }
    HDC dc() const { return dc_; }
    std::vector<uint32_t> pixels() const {
        GdiFlush();
        return std::vector<uint32_t>(bits_, bits_ + static_cast<size_t>(width_) * height_);
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    uint32_t* bits_ = nullptr;  // owned by bitmap_
};

COLORREF bgrx_to_colorref(uint32_t p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// The clipboard, open for one scope. `owner` may be null.
class OpenedClipboard {
public:
    OpenedClipboard(HWND owner, DWORD timeout_ms) {
        open_ = wait_until([&] { return OpenClipboard(owner) != FALSE; }, timeout_ms, 10);
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    bool open() const { return open_; }

private:
    bool open_ = false;
};

// The environment block for CreateProcessA: the inherited variables with the
// extra ones put over them (names compared without case, as Windows does).
std::string environment_block(const std::vector<std::string>& extra) {
    std::vector<std::string> vars;
    if (LPCH env = GetEnvironmentStringsA()) {
        for (const char* p = env; *p; p += std::strlen(p) + 1) vars.emplace_back(p);
        FreeEnvironmentStringsA(env);
    }
    auto name_of = [](const std::string& v) {
        size_t eq = v.find('=', 1);  // "=C:=C:\x" keeps its leading '='
        return v.substr(0, eq);
    };
    for (const std::string& e : extra) {
        std::string name = name_of(e);
        std::erase_if(vars, [&](const std::string& v) { return same_text_no_case(name_of(v), name); });
        vars.push_back(e);
    }
    std::string block;
    for (const std::string& v : vars) {
        block += v;
        block += '\0';
    }
    block += '\0';
    return block;
}

bool read_memory(HANDLE process, uintptr_t address, void* out, size_t size) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), out, size, &got) && got == size;
}

bool send_input(std::vector<INPUT>& inputs) {
    if (inputs.empty()) return true;
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

INPUT key_input(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    switch (vk) {
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
        case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE:
            in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            break;
        default:
            break;
    }
    return in;
}

void append_key_press(std::vector<INPUT>& out, WORD vk, unsigned modifiers) {
    const std::pair<unsigned, WORD> mods[] = {{kCtrl, VK_CONTROL}, {kShift, VK_SHIFT}, {kAlt, VK_MENU}};
    for (auto [bit, mvk] : mods)
        if (modifiers & bit) out.push_back(key_input(mvk, false));
    out.push_back(key_input(vk, false));
    out.push_back(key_input(vk, true));
    for (auto it = std::rbegin(mods); it != std::rend(mods); ++it)
        if (modifiers & it->first) out.push_back(key_input(it->second, true));
}

// Absolute pointer coordinates: 0..65535 across the virtual desktop, each
// pixel addressed at its own cell.
INPUT mouse_input(POINT screen, DWORD flags) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = std::max(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1);
    const int height = std::max(GetSystemMetrics(SM_CYVIRTUALSCREEN), 1);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(((static_cast<LONGLONG>(screen.x - left) * 65536) + width - 1) / width);
    in.mi.dy = static_cast<LONG>(((static_cast<LONGLONG>(screen.y - top) * 65536) + height - 1) / height);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    return in;
}

std::optional<BoxIcon> match_icon(HWND icon_static) {
    const RECT r = client_rect_on_screen(icon_static);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return std::nullopt;
    auto shot = ScreenCapture::take(r);
    if (!shot) return std::nullopt;
    // A system icon's corner is transparent, so it shows the box's background.
    const COLORREF back = shot->pixel(0, 0);
    const std::pair<LPCSTR, BoxIcon> candidates[] = {
        {IDI_HAND, BoxIcon::Error},
        {IDI_EXCLAMATION, BoxIcon::Warning},
        {IDI_ASTERISK, BoxIcon::Information},
        {IDI_QUESTION, BoxIcon::Question},
    };
    const size_t total = static_cast<size_t>(w) * h;
    size_t best = total + 1;
    BoxIcon best_kind = BoxIcon::Other;
    for (auto [id, kind] : candidates) {
        HICON icon = LoadIconA(nullptr, id);  // shared system icon: not destroyed
        DibCanvas canvas(w, h);
        if (!icon || !canvas.ok()) continue;
        HBRUSH brush = CreateSolidBrush(back);
        RECT all{0, 0, w, h};
        FillRect(canvas.dc(), &all, brush);
        DeleteObject(brush);
        DrawIconEx(canvas.dc(), 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
        const std::vector<uint32_t> drawn = canvas.pixels();
        size_t differ = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (bgrx_to_colorref(drawn[static_cast<size_t>(y) * w + x]) != shot->pixel(x, y)) ++differ;
        if (differ < best) {
            best = differ;
            best_kind = kind;
        }
    }
    // A match is the same picture up to a few pixels; anything else is
    // another picture, or the box is not fully painted yet.
    if (best * 50 > total) return std::nullopt;
    return best_kind;
}

}  // namespace

bool wait_until(const std::function<bool()>& done, DWORD timeout_ms, DWORD poll_ms) {
    const ULONGLONG end = GetTickCount64() + timeout_ms;
    for (;;) {
        if (done()) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return false;
        pump_own_messages();
        Sleep(static_cast<DWORD>(std::min<ULONGLONG>(poll_ms, end - now)));
    }
}

std::string wine_path(std::string_view unix_path) {
    if (!unix_path.starts_with('/')) return std::string(unix_path);  // already a Windows path
    std::string p = "Z:";
    p += unix_path;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

// --- processes ---------------------------------------------------------------

KernelHandle& KernelHandle::operator=(KernelHandle&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
}

HANDLE KernelHandle::release() { return std::exchange(h_, nullptr); }

void KernelHandle::reset(HANDLE h) {
    if (*this) CloseHandle(h_);
    h_ = h;
}

Program::Program(const std::string& exe_path, const StartOptions& options) {
    std::string command_line = "\"" + exe_path + "\"";
    std::string env;
    if (!options.extra_environment.empty()) env = environment_block(options.extra_environment);
    // Wine starts the desktop's own process (its explorer) for the first
    // process that needs the desktop. Let that be the driver: started by the
    // program it would join the program's job and die with it, leaving the
    // desktop without its window for every later program.
    GetDesktopWindow();
    // The program runs in a job that ends it when the job's last handle
    // closes: even a test process that is killed (a CTest timeout) takes it along.
    job_.reset(CreateJobObjectA(nullptr, nullptr));
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job_) SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(exe_path.c_str(), command_line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        env.empty() ? nullptr : env.data(),
                        options.working_directory.empty() ? nullptr : options.working_directory.c_str(), &si, &pi))
        throw std::runtime_error("CreateProcessA(" + exe_path + ") failed with error " +
                                 std::to_string(GetLastError()));
    if (job_) AssignProcessToJobObject(job_.get(), pi.hProcess);
    ResumeThread(pi.hThread);
    CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    pid_ = pi.dwProcessId;
    tid_ = pi.dwThreadId;
}

Program& Program::operator=(Program&& o) noexcept {
    if (this != &o) {
        terminate();
        process_ = std::move(o.process_);
        job_ = std::move(o.job_);
        pid_ = o.pid_;
        tid_ = o.tid_;
    }
    return *this;
}

Program::~Program() { terminate(); }

bool Program::running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Program::wait_exit(DWORD timeout_ms) const {
    if (!process_ || WaitForSingleObject(process_.get(), timeout_ms) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.get(), &code)) return std::nullopt;
    return code;
}

void Program::terminate() {
    if (!running()) return;
    TerminateProcess(process_.get(), 1);
    WaitForSingleObject(process_.get(), kDefaultTimeout);
}

std::optional<std::string> Program::current_directory() const {
    if (!process_) return std::nullopt;
    using QueryInformation = LONG(NTAPI*)(HANDLE, int, PVOID, ULONG, PULONG);
    static const auto query = reinterpret_cast<QueryInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    if (!query) return std::nullopt;
    struct BasicInformation {  // PROCESS_BASIC_INFORMATION
        LONG exit_status;
        ULONG_PTR peb;
        ULONG_PTR affinity_mask;
        LONG base_priority;
        ULONG_PTR pid;
        ULONG_PTR parent_pid;
    } info{};
    constexpr int kProcessBasicInformation = 0;
    if (query(process_.get(), kProcessBasicInformation, &info, sizeof info, nullptr) != 0 || !info.peb)
        return std::nullopt;
    // PEB->ProcessParameters at +0x10; there, CurrentDirectory.DosPath, a
    // UNICODE_STRING {USHORT Length, USHORT MaximumLength, PWSTR Buffer}, at +0x24.
    uint32_t parameters = 0;
    if (!read_memory(process_.get(), info.peb + 0x10, &parameters, sizeof parameters) || !parameters)
        return std::nullopt;
    struct {
        USHORT length;
        USHORT maximum_length;
        uint32_t buffer;
    } dos_path{};
    if (!read_memory(process_.get(), parameters + 0x24, &dos_path, sizeof dos_path) || !dos_path.buffer)
        return std::nullopt;
    std::wstring wide(dos_path.length / sizeof(wchar_t), L'\0');
    if (!wide.empty() && !read_memory(process_.get(), dos_path.buffer, wide.data(), dos_path.length))
        return std::nullopt;
    const int wn = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), wn, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(std::max(n, 0)), '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide.data(), wn, ansi.data(), n, nullptr, nullptr);
    return ansi;
}

// --- windows -----------------------------------------------------------------

namespace {

struct WindowSearch {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_window_of_process(HWND w, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    if (owner == s->pid) s->found.push_back(w);
    return TRUE;
}

}  // namespace

std::vector<HWND> top_level_windows(DWORD pid) {
    WindowSearch search{pid, {}};
    EnumWindows(collect_window_of_process, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND find_window(DWORD pid, const WindowQuery& query) {
    for (HWND w : top_level_windows(pid)) {
        if (query.visible_only && !IsWindowVisible(w)) continue;
        if (!query.class_name.empty() && !same_text_no_case(class_name(w), query.class_name)) continue;
        const std::string title = internal_title(w);
        const bool match = query.title_prefix ? title.starts_with(query.title) : title == query.title;
        if (match) return w;
    }
    return nullptr;
}

HWND wait_for_window(DWORD pid, const WindowQuery& query, DWORD timeout_ms) {
    HWND found = nullptr;
    wait_until([&] { return (found = find_window(pid, query)) != nullptr; }, timeout_ms);
    return found;
}

std::string class_name(HWND w) {
    char buf[256] = {};
    int n = GetClassNameA(w, buf, sizeof buf);
    return std::string(buf, static_cast<size_t>(std::max(n, 0)));
}

std::optional<std::string> window_text(HWND w, DWORD timeout_ms) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, timeout_ms, &length))
        return std::nullopt;
    // WM_GETTEXTLENGTH may count more than WM_GETTEXT gives (two-byte
    // characters): the buffer is sized by the larger answer, the text by the copy.
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             timeout_ms, &copied))
        return std::nullopt;
    text.resize(std::min<size_t>(copied, length));
    return text;
}

bool set_window_text(HWND w, const std::string& text, DWORD timeout_ms) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               timeout_ms, &result) != 0 &&
           result == TRUE;
}

LONG style(HWND w) { return GetWindowLongA(w, GWL_STYLE); }
LONG ex_style(HWND w) { return GetWindowLongA(w, GWL_EXSTYLE); }

RECT window_rect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

RECT client_rect_on_screen(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    MapWindowPoints(w, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

RECT rect_in_parent(HWND w) {
    RECT r = window_rect(w);
    HWND parent = GetAncestor(w, GA_PARENT);
    if (parent && parent != GetDesktopWindow()) MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

POINT client_to_screen(HWND w, POINT client) {
    ClientToScreen(w, &client);
    return client;
}

std::vector<HWND> child_windows(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) children.push_back(c);
    return children;
}

int z_index(HWND w) {
    int i = 0;
    for (HWND s = GetWindow(w, GW_HWNDFIRST); s; s = GetWindow(s, GW_HWNDNEXT), ++i)
        if (s == w) return i;
    return -1;
}

HWND find_child(HWND parent, std::string_view wanted_class, const RECT& place) {
    for (HWND c : child_windows(parent)) {
        const RECT r = rect_in_parent(c);
        if (same_text_no_case(class_name(c), wanted_class) && EqualRect(&place, &r)) return c;
    }
    return nullptr;
}

HWND focused_window(HWND w) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

HWND wait_for_focus(HWND expected, DWORD timeout_ms) {
    HWND focus = nullptr;
    wait_until([&] { return (focus = focused_window(expected)) == expected; }, timeout_ms);
    return focus;
}

std::optional<POINT> point_with_hit_test(HWND w, LRESULT hit) {
    const RECT r = window_rect(w);
    auto hit_at = [&](int x, int y) {
        DWORD_PTR answer = HTNOWHERE;
        if (!SendMessageTimeoutA(w, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &answer))
            return false;
        return static_cast<LRESULT>(answer) == hit;
    };
    // Row by row from the middle of the title bar outwards; in each row the
    // middle of the first run of hits from the right.
    const int caption_middle = r.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int d = 0; d < r.bottom - r.top; d = d <= 0 ? 1 - d : -d) {
        const int y = caption_middle + d;
        if (y < r.top || y >= r.bottom) continue;
        int run_right = -1;
        for (int x = r.right - 1; x >= r.left; --x) {
            if (hit_at(x, y)) {
                if (run_right < 0) run_right = x;
            } else if (run_right >= 0) {
                return POINT{(x + 1 + run_right) / 2, y};
            }
        }
        if (run_right >= 0) return POINT{(r.left + run_right) / 2, y};
        if (d > 24 || d < -24) break;  // far outside any title bar
    }
    return std::nullopt;
}

// --- message boxes -------------------------------------------------------------

std::ostream& operator<<(std::ostream& out, BoxIcon icon) {
    switch (icon) {
        case BoxIcon::None: return out << "no icon";
        case BoxIcon::Error: return out << "the error icon";
        case BoxIcon::Warning: return out << "the warning icon";
        case BoxIcon::Information: return out << "the information icon";
        case BoxIcon::Question: return out << "the question icon";
        case BoxIcon::Other: break;
    }
    return out << "an icon that is no system icon";
}

HWND find_message_box(DWORD pid) {
    return find_window(pid, {.title = "", .title_prefix = true, .class_name = "#32770", .visible_only = true});
}

std::optional<MessageBoxView> read_message_box(HWND box) {
    if (!IsWindow(box)) return std::nullopt;
    MessageBoxView view;
    view.hwnd = box;
    view.caption = internal_title(box);
    HWND text = GetDlgItem(box, 0xFFFF);
    if (!text) return std::nullopt;
    auto t = window_text(text);
    if (!t) return std::nullopt;
    view.text = *t;
    view.style = style(box);
    view.ex_style = ex_style(box);
    for (HWND c : child_windows(box)) {
        const LONG s = style(c);
        const LONG kind = s & BS_TYPEMASK;
        if (same_text_no_case(class_name(c), "Button") && (s & WS_VISIBLE) &&
            (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON))
            view.button_ids.push_back(GetDlgCtrlID(c));
    }
    view.icon = message_box_icon(box);
    return view;
}

std::optional<MessageBoxView> wait_for_message_box(DWORD pid, DWORD timeout_ms) {
    std::optional<MessageBoxView> view;
    wait_until(
        [&] {
            HWND box = find_message_box(pid);
            return box && (view = read_message_box(box)).has_value();
        },
        timeout_ms);
    return view;
}

BoxIcon message_box_icon(HWND box) {
    HWND icon = nullptr;
    for (HWND c : child_windows(box))
        if (same_text_no_case(class_name(c), "Static") && (style(c) & WS_VISIBLE) &&
            (style(c) & SS_TYPEMASK) == SS_ICON)
            icon = c;
    if (!icon) return BoxIcon::None;
    // The box may still be painting: give it a moment to show its icon.
    std::optional<BoxIcon> kind;
    wait_until([&] { return (kind = match_icon(icon)).has_value(); }, 3000, 50);
    return kind.value_or(BoxIcon::Other);
}

bool dismiss_message_box(HWND box, DWORD timeout_ms) {
    HWND button = nullptr;
    int buttons = 0;
    for (HWND c : child_windows(box)) {
        if (!same_text_no_case(class_name(c), "Button") || !(style(c) & WS_VISIBLE)) continue;
        ++buttons;
        if (GetDlgCtrlID(c) == IDOK || !button) button = c;
    }
    if (!button || (buttons > 1 && GetDlgCtrlID(button) != IDOK)) return false;
    // Posted, not sent: the box's thread takes the click in its own time.
    if (!PostMessageA(button, BM_CLICK, 0, 0)) return false;
    return wait_until([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeout_ms);
}

// --- input ---------------------------------------------------------------------
//
// SendInput puts the events into the system's input stream; the system hands
// keys to the thread of the foreground window (its focused control) and clicks
// to the window under the pointer, so the program sees what it would see from
// a person, modifier key state included. Under Wine this holds across
// processes as well; no posted WM_KEYDOWN/WM_CHAR stand-in is needed (one
// would not move the key state that GetKeyState reads, so Shift+Tab could not
// be told from Tab).

bool bring_to_foreground(HWND w, DWORD timeout_ms) {
    return wait_until(
        [&] {
            if (GetForegroundWindow() == w) return true;
            SetForegroundWindow(w);
            return GetForegroundWindow() == w;
        },
        timeout_ms, 50);
}

bool press_key(WORD vk, unsigned modifiers) {
    std::vector<INPUT> inputs;
    append_key_press(inputs, vk, modifiers);
    return send_input(inputs);
}

bool type_text(std::string_view ascii) {
    std::vector<INPUT> inputs;
    for (char c : ascii) {
        const SHORT scan = VkKeyScanA(c);
        if (scan == -1) return false;
        append_key_press(inputs, static_cast<WORD>(LOBYTE(scan)), HIBYTE(scan) & (kShift | kCtrl | kAlt));
    }
    return send_input(inputs);
}

bool move_mouse(POINT screen, DWORD timeout_ms) {
    std::vector<INPUT> inputs{mouse_input(screen, MOUSEEVENTF_MOVE)};
    if (!send_input(inputs)) return false;
    return wait_until(
        [&] {
            POINT at{};
            return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
        },
        timeout_ms);
}

bool click(POINT screen) {
    if (!move_mouse(screen)) return false;
    std::vector<INPUT> inputs{mouse_input(screen, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN),
                              mouse_input(screen, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP)};
    return send_input(inputs);
}

bool click_middle(HWND w) {
    const RECT r = window_rect(w);
    return click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// --- clipboard -----------------------------------------------------------------

std::optional<std::string> ClipboardText::text() const {
    const size_t end = block.find('\0');
    if (end == std::string::npos) return std::nullopt;
    return block.substr(0, end);
}

std::optional<ClipboardText> read_clipboard_text(DWORD timeout_ms) {
    OpenedClipboard clipboard(nullptr, timeout_ms);
    if (!clipboard.open()) return std::nullopt;
    HANDLE data = GetClipboardData(CF_TEXT);  // owned by the clipboard
    if (!data) return std::nullopt;
    ClipboardText out;
    out.block_size = GlobalSize(data);
    const void* p = GlobalLock(data);
    if (!p) return std::nullopt;
    out.block.assign(static_cast<const char*>(p), out.block_size);
    GlobalUnlock(data);
    return out;
}

bool write_clipboard_text(std::string_view text, DWORD timeout_ms) {
    OpenedClipboard clipboard(nullptr, timeout_ms);
    if (!clipboard.open() || !EmptyClipboard()) return false;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block) return false;
    if (char* p = static_cast<char*>(GlobalLock(block))) {
        std::memcpy(p, text.data(), text.size());
        p[text.size()] = '\0';
        GlobalUnlock(block);
        if (SetClipboardData(CF_TEXT, block)) return true;  // the clipboard owns it now
    }
    GlobalFree(block);
    return false;
}

ClipboardHold::ClipboardHold(DWORD timeout_ms) {
    window_ = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
    if (!window_) return;
    held_ = wait_until([&] { return OpenClipboard(window_) != FALSE; }, timeout_ms, 10);
}

ClipboardHold::~ClipboardHold() {
    if (held_) CloseClipboard();
    if (window_) DestroyWindow(window_);
}

// --- screen --------------------------------------------------------------------

std::optional<COLORREF> screen_pixel(POINT screen) {
    ScreenDc dc;
    if (!dc.get()) return std::nullopt;
    const COLORREF c = GetPixel(dc.get(), screen.x, screen.y);
    if (c == CLR_INVALID) return std::nullopt;
    return c;
}

std::optional<ScreenCapture> ScreenCapture::take(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return std::nullopt;
    DibCanvas canvas(w, h);
    ScreenDc screen;
    if (!canvas.ok() || !screen.get()) return std::nullopt;
    if (!BitBlt(canvas.dc(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY | CAPTUREBLT)) return std::nullopt;
    ScreenCapture shot;
    shot.width_ = w;
    shot.height_ = h;
    shot.bgrx_ = canvas.pixels();
    return shot;
}

COLORREF ScreenCapture::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    return bgrx_to_colorref(bgrx_[static_cast<size_t>(y) * width_ + x]);
}

bool ScreenCapture::save_bmp(const std::string& path) const {
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width_;
    info.biHeight = -height_;  // top-down rows, as held
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD data_size = static_cast<DWORD>(bgrx_.size() * sizeof(uint32_t));
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + data_size;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&info, sizeof info, 1, f) == 1 &&
              std::fwrite(bgrx_.data(), 1, data_size, f) == data_size;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

}  // namespace wm::drive
