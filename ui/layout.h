// The main window's layout: its settings and its 21 controls, in z-order.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace wm::ui {

enum class Kind { EditBox, Button, PicBox, TransLabel, HyperLinker, Timer, HtmlViewer };

// Event sources: the main window and every control, by its layout name.
// clang-format off
enum class Source : int {
    Main = -1,
    按钮4, 图片框3, 时钟1, 超级链接框3, 超文本浏览框2, 图片框2, 图片框1,
    透明标签7, 透明标签5, 超级链接框1, 透明标签4, 按钮3, 超文本浏览框1, 编辑框1,
    透明标签3, 按钮2, 透明标签2, 透明标签1, 编辑框2, 编辑框3, 按钮1,
};
// clang-format on
inline constexpr int kControlCount = 21;

// A colour setting: a COLORREF, or the system face colour read at painting time.
struct Colour {
    COLORREF rgb = 0;
    bool system_face = false;
    COLORREF resolve() const { return system_face ? GetSysColor(COLOR_BTNFACE) : rgb; }
};
constexpr Colour rgb(int r, int g, int b) { return {RGB(r, g, b), false}; }
inline constexpr Colour kSystemFace{0, true};

// "default" is the stock DEFAULT_GUI_FONT; otherwise a LOGFONT of this height.
struct FontSetting {
    int pixel_height = 0;  // 0: default font
    bool italic = false;
    bool underline = false;
};

enum class Picture { None, Help, QqOnline, JoinGroup };

struct LabelSettings {
    int effect = 0;      // 0 none, 1 white copy behind (+1,+1), 2 white copy in place, 3 black copy (+2,+2)
    int horizontal = 0;  // 0 left, 1 centre, 2 right
    int vertical = 1;    // 0 top, 1 centre, 2 bottom (single-line labels only)
    bool wrap = false;
};

struct LinkSettings {
    const char* web_address = "";
    const char* mail_address = "";
    bool web = true;
    Colour normal, visited, hover;
};

struct HtmlSettings {
    int font_size = 2;  // 0..4
    bool offline = true;
    bool silent = true;
    const char* url = "";
};

struct ControlLayout {
    Source id;
    const char* name;
    Kind kind;
    Source parent;  // Source::Main or another control
    int left, top, width, height;
    bool shown;
    bool tab_stop;
    bool hand_cursor = false;
    const char* text = "";
    Colour text_colour{};
    Colour back_colour{};
    FontSetting font{};
    bool read_only = false;  // edit boxes
    Picture picture = Picture::None;
    LabelSettings label{};
    LinkSettings link{};
    HtmlSettings html{};
    unsigned period_ms = 0;  // timer
};

struct MainWindowLayout {
    const char* title;
    int width, height;
    Colour background;
};

const MainWindowLayout& main_window_layout();

// The controls in z-order: among siblings the first row is the topmost.
std::span<const ControlLayout> controls();

// Checks the table's own consistency: every control once, parents known and
// created before their children are moved into them.
bool layout_is_sound();

}  // namespace wm::ui
