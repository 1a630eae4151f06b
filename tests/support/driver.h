// Drives a running Windows program from outside, the way a person at the
// screen would: it starts the program, finds its windows, reads what they
// show, types and clicks. Everything goes through ordinary Win32 calls on the
// program's windows; nothing here links with or reaches into the program.
//
// Every wait is bounded: a call that waits takes a timeout in milliseconds
// and reports failure (nullptr, nullopt or false) when it runs out.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wm::drive {

inline constexpr DWORD kDefaultTimeout = 10'000;  // ms

// Polls `done` every `poll_ms` until it holds or `timeout_ms` has passed.
// True when it held (it is asked once more at the end).
bool wait_until(const std::function<bool()>& done, DWORD timeout_ms = kDefaultTimeout, DWORD poll_ms = 20);

// Turns a path of the machine Wine runs on ("/work/x/a.exe") into the path
// the Windows side sees ("Z:\work\x\a.exe"); Wine maps Z: to "/".
// Any other path is returned as it is.
std::string wine_path(std::string_view unix_path);

// --- processes ---------------------------------------------------------------

// An owned kernel handle, closed in the destructor.
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE h) : h_(h) {}
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    KernelHandle(KernelHandle&& o) noexcept : h_(o.release()) {}
    KernelHandle& operator=(KernelHandle&& o) noexcept;
    ~KernelHandle() { reset(); }

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    HANDLE release();
    void reset(HANDLE h = nullptr);

private:
    HANDLE h_ = nullptr;
};

struct StartOptions {
    std::string working_directory{};  // empty: the driver's own
    // "NAME=value" over the inherited environment. Wine does not pass
    // WINEDLLOVERRIDES (nor its other WINE* loader variables) from this block
    // to the program; per-program DLL overrides go in
    // HKCU\Software\Wine\AppDefaults\<exe>\DllOverrides.
    std::vector<std::string> extra_environment{};
};

// A started program. The destructor ends it (TerminateProcess, then a bounded
// wait) when it is still running, so a failing test leaves nothing behind; a
// job object ends it too should the driver's process itself be killed.
class Program {
public:
    // Starts `exe_path` (a Windows path) with no arguments; throws
    // std::runtime_error when CreateProcessA fails.
    explicit Program(const std::string& exe_path, const StartOptions& options = {});
    Program(Program&&) noexcept = default;
    Program& operator=(Program&&) noexcept;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    DWORD pid() const { return pid_; }
    DWORD main_thread_id() const { return tid_; }
    HANDLE handle() const { return process_.get(); }

    bool running() const;
    // The exit code once the process has ended within the timeout.
    std::optional<DWORD> wait_exit(DWORD timeout_ms = kDefaultTimeout) const;
    // Ends the process when it still runs and waits (bounded) until it is gone.
    void terminate();

    // The process's current directory, read from its PEB (ANSI code page;
    // Windows keeps a trailing backslash on it). Nullopt when it cannot be read.
    std::optional<std::string> current_directory() const;

private:
    KernelHandle process_;
    KernelHandle job_;  // ends the program when closed
    DWORD pid_ = 0;
    DWORD tid_ = 0;
};

// --- windows -----------------------------------------------------------------

// Top-level windows of a process, in z-order (topmost first).
std::vector<HWND> top_level_windows(DWORD pid);

struct WindowQuery {
    std::string title{};        // exact, or a prefix when title_prefix is set
    bool title_prefix = false;
    std::string class_name{};   // empty: any class; else compared without case
    bool visible_only = true;
};
HWND find_window(DWORD pid, const WindowQuery& query);
HWND wait_for_window(DWORD pid, const WindowQuery& query, DWORD timeout_ms = kDefaultTimeout);

std::string class_name(HWND w);
// The window's text as the window itself answers WM_GETTEXT: for an edit box
// its current contents. (GetWindowTextA on another process's window sends no
// message and reads the title the system keeps; for an edit box under Wine
// that is empty.) Nullopt when the window does not answer in time.
std::optional<std::string> window_text(HWND w, DWORD timeout_ms = kDefaultTimeout);
// Gives the window a new text through WM_SETTEXT, the way a program would (a
// read-only edit box takes it too). True when the window answered in time
// that it took the text.
bool set_window_text(HWND w, const std::string& text, DWORD timeout_ms = kDefaultTimeout);
LONG style(HWND w);
LONG ex_style(HWND w);
RECT window_rect(HWND w);         // screen coordinates
RECT client_rect_on_screen(HWND w);
// The window's rectangle relative to its parent's client area (for a
// top-level window: the screen).
RECT rect_in_parent(HWND w);
POINT client_to_screen(HWND w, POINT client);

// Direct children in z-order (topmost first), from the GW_CHILD / GW_HWNDNEXT walk.
std::vector<HWND> child_windows(HWND parent);
// Position among its siblings in z-order: 0 is the topmost.
int z_index(HWND w);
// The direct child of `parent` of that class (without case) whose rectangle
// relative to the parent is `place`; nullptr when there is none.
HWND find_child(HWND parent, std::string_view class_name, const RECT& place);

// The keyboard focus of the thread that owns `w` (GetGUIThreadInfo).
HWND focused_window(HWND w);
HWND wait_for_focus(HWND expected, DWORD timeout_ms = kDefaultTimeout);

// A screen point over the non-client part of `w` whose hit test
// (WM_NCHITTEST) answers `hit`, e.g. HTCLOSE for the close button.
std::optional<POINT> point_with_hit_test(HWND w, LRESULT hit);

// --- message boxes -------------------------------------------------------------

enum class BoxIcon { None, Error, Warning, Information, Question, Other };
std::ostream& operator<<(std::ostream& out, BoxIcon icon);

// What a message box shows. The MB_ type it was made with is not kept in its
// window style: the icon and the buttons it shows stand for it.
struct MessageBoxView {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;                // the static control with id 0xFFFF
    LONG style = 0;
    LONG ex_style = 0;
    std::vector<int> button_ids;     // ids of the push buttons, in z-order
    BoxIcon icon = BoxIcon::None;
};

// The first visible dialog box (class "#32770") of the process.
HWND find_message_box(DWORD pid);
std::optional<MessageBoxView> wait_for_message_box(DWORD pid, DWORD timeout_ms = kDefaultTimeout);
std::optional<MessageBoxView> read_message_box(HWND box);
// Which system icon the box shows, told by comparing its icon's pixels on the
// screen with the system icons drawn on the same background.
BoxIcon message_box_icon(HWND box);
// Clicks the OK button (id IDOK) or the box's only button, and waits until
// the box is gone.
bool dismiss_message_box(HWND box, DWORD timeout_ms = kDefaultTimeout);

// --- input ---------------------------------------------------------------------

// The bits of VkKeyScanA's shift state.
enum Modifier : unsigned { kNoModifier = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

// Makes `w` the foreground window and waits until it is.
bool bring_to_foreground(HWND w, DWORD timeout_ms = kDefaultTimeout);
// One key press (down and up) with the modifiers held around it.
bool press_key(WORD vk, unsigned modifiers = kNoModifier);
// Types printable ASCII characters as key presses.
bool type_text(std::string_view ascii);
// Moves the pointer to a screen point and waits until it is there.
bool move_mouse(POINT screen, DWORD timeout_ms = kDefaultTimeout);
// A left click (press and release) at a screen point.
bool click(POINT screen);
// A left click in the middle of the window `w` (a control, usually).
bool click_middle(HWND w);

// --- clipboard -----------------------------------------------------------------

struct ClipboardText {
    std::string block;      // every byte of the CF_TEXT block, zeros included
    size_t block_size = 0;  // GlobalSize of the block
    // The text up to the first zero byte; nullopt when the block holds none.
    std::optional<std::string> text() const;
};
std::optional<ClipboardText> read_clipboard_text(DWORD timeout_ms = kDefaultTimeout);
// Puts `text` with its terminating zero on the clipboard as CF_TEXT.
bool write_clipboard_text(std::string_view text, DWORD timeout_ms = kDefaultTimeout);

// Keeps the clipboard open with a window of the driver's own, so that no
// other process can open it, until destroyed.
class ClipboardHold {
public:
    explicit ClipboardHold(DWORD timeout_ms = kDefaultTimeout);
    ClipboardHold(const ClipboardHold&) = delete;
    ClipboardHold& operator=(const ClipboardHold&) = delete;
    ~ClipboardHold();
    bool held() const { return held_; }

private:
    HWND window_ = nullptr;  // message-only window, destroyed with the hold
    bool held_ = false;
};

// --- screen --------------------------------------------------------------------

std::optional<COLORREF> screen_pixel(POINT screen);

// A copy of a rectangle of the screen, 32 bits a pixel.
class ScreenCapture {
public:
    static std::optional<ScreenCapture> take(const RECT& screen_rect);
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF pixel(int x, int y) const;
    // Writes a 32-bit .bmp file for people to look at.
    bool save_bmp(const std::string& path) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> bgrx_;  // top-down rows
};

}  // namespace wm::drive
