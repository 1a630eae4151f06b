// The frame and the main window seen from outside: the real program is
// started, looked at and worked with keys and clicks, then closed, as a
// person at the screen would. Each test starts its own copy of the program;
// the driver ends it at the end of the test, whatever happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/support/driver.h"

namespace {

using namespace wm::drive;
using namespace wm::e2e;

std::string probe_path() { return wine_path(WM_FATAL_PROBE); }

// The folder of a program path, with the trailing backslash Windows keeps on
// a current directory.
std::string folder_of(const std::string& path) { return path.substr(0, path.rfind('\\') + 1); }

// Plain literals are GBK, like the program's texts; control names are u8
// literals so that they print readably in the test log.
const char* printable(const char8_t* s) { return reinterpret_cast<const char*>(s); }

constexpr const char* kEdit = "Edit";
constexpr const char* kButton = "Button";
constexpr const char* kPicBox = "Wendmere.PicBox";
constexpr const char* kTransLabel = "Wendmere.TransLabel";
constexpr const char* kHyperLinker = "Wendmere.HyperLinker";
constexpr const char* kHtmlViewer = "Wendmere.HtmlViewer";

struct Row {
    const char8_t* name;
    const char* class_name;
    const char8_t* parent;  // nullptr: the main window
    int left, top, width, height;
    bool shown, tab_stop;
};

// Every control that has a window (the timer has none), in z-order: among
// siblings the first row is the topmost.
const Row kLayout[] = {
    {u8"按钮4", kButton, u8"图片框3", 456, 432, 88, 24, true, true},
    {u8"图片框3", kPicBox, nullptr, 712, 0, 560, 528, true, false},
    {u8"超级链接框3", kHyperLinker, nullptr, 232, 502, 176, 16, true, false},
    {u8"超文本浏览框2", kHtmlViewer, nullptr, 488, 264, 48, 32, false, true},
    {u8"图片框2", kPicBox, nullptr, 427, 494, 88, 24, true, false},
    {u8"图片框1", kPicBox, nullptr, 427, 467, 88, 24, true, false},
    {u8"透明标签7", kTransLabel, nullptr, 519, 467, 192, 54, true, false},
    {u8"透明标签5", kTransLabel, nullptr, 377, 440, 32, 24, true, false},
    {u8"超级链接框1", kHyperLinker, nullptr, 240, 475, 156, 24, true, false},
    {u8"透明标签4", kTransLabel, nullptr, 5, 480, 219, 112, true, false},
    {u8"按钮3", kButton, nullptr, 640, 357, 64, 24, true, true},
    {u8"超文本浏览框1", kHtmlViewer, nullptr, -6, -104, 717, 448, true, true},
    {u8"编辑框1", kEdit, nullptr, 65, 357, 567, 24, true, true},
    {u8"透明标签3", kTransLabel, nullptr, 4, 357, 50, 24, true, false},
    {u8"按钮2", kButton, nullptr, 640, 437, 64, 24, true, true},
    {u8"透明标签2", kTransLabel, nullptr, 4, 437, 50, 24, true, false},
    {u8"透明标签1", kTransLabel, nullptr, 4, 397, 50, 24, true, false},
    {u8"编辑框2", kEdit, nullptr, 65, 397, 567, 24, true, true},
    {u8"编辑框3", kEdit, nullptr, 65, 437, 567, 24, true, true},
    {u8"按钮1", kButton, nullptr, 640, 397, 64, 24, true, true},
};

RECT place_of(const Row& row) { return {row.left, row.top, row.left + row.width, row.top + row.height}; }

class Frame : public E2eTest {
protected:
    // Starts the program, past its notices, and finds the controls of its
    // main window.
    void start(const StartOptions& options = {}) {
        controls_.clear();
        main_ = start_program(program_, options);
        ASSERT_TRUE(main_) << "the program did not start";
        // The main window's children first, then those held by one of them.
        for (bool held : {false, true})
            for (const Row& row : kLayout) {
                if ((row.parent != nullptr) != held) continue;
                HWND parent = held ? control(row.parent) : main_;
                controls_[row.name] = parent ? find_child(parent, row.class_name, place_of(row)) : nullptr;
            }
    }

    HWND control(std::u8string_view name) const {
        auto it = controls_.find(std::u8string(name));
        return it == controls_.end() ? nullptr : it->second;
    }

    std::string text_of(const char8_t* name) const {
        HWND w = control(name);
        return w ? window_text(w).value_or("<no answer>") : "<no such control>";
    }

    std::vector<std::string> edit_texts() const {
        return {text_of(u8"编辑框1"), text_of(u8"编辑框2"), text_of(u8"编辑框3")};
    }

    // The keyboard goes to the foreground window: the main window must be it.
    void keys(WORD vk, unsigned modifiers = kNoModifier) {
        ASSERT_TRUE(bring_to_foreground(main_));
        ASSERT_TRUE(press_key(vk, modifiers));
    }

    void type(std::string_view ascii) {
        ASSERT_TRUE(bring_to_foreground(main_));
        ASSERT_TRUE(type_text(ascii));
    }

    // Puts the focus into a control with a click in its middle.
    void click_into(const char8_t* name) {
        HWND w = control(name);
        ASSERT_TRUE(w) << printable(name);
        ASSERT_TRUE(bring_to_foreground(main_));
        ASSERT_TRUE(click_middle(w));
        ASSERT_EQ(wait_for_focus(w), w) << printable(name) << " did not take the focus";
    }

    void expect_focus(const char8_t* name, DWORD timeout_ms = kDefaultTimeout) {
        HWND w = control(name);
        HWND focus = wait_for_focus(w, timeout_ms);
        EXPECT_EQ(focus, w) << "the focus is on " << name_of(focus) << ", not on " << printable(name);
    }

    std::string name_of(HWND w) const {
        for (auto& [name, hwnd] : controls_)
            if (hwnd && hwnd == w) return printable(name.c_str());
        return w ? "a window of class " + class_name(w) : "no window";
    }

    std::optional<Program> program_;
    HWND main_ = nullptr;
    std::map<std::u8string, HWND> controls_;
};

TEST_F(Frame, MainWindowHasItsTitlePlaceSizeFrameAndBlackBackground) {
    ASSERT_NO_FATAL_FAILURE(start());  // found by its exact title once start-up is over

    const RECT r = window_rect(main_);
    EXPECT_EQ(r.left, 153);
    EXPECT_EQ(r.top, 107);
    EXPECT_EQ(r.right - r.left, 717);
    EXPECT_EQ(r.bottom - r.top, 554);

    const LONG s = style(main_);
    for (LONG bit : {WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX, WS_CLIPCHILDREN, WS_VISIBLE}) {
        SCOPED_TRACE(testing::Message() << "style bit " << std::hex << bit);
        EXPECT_TRUE(s & bit);
    }
    for (LONG bit : {WS_THICKFRAME, WS_MAXIMIZEBOX, WS_MINIMIZE, WS_MAXIMIZE, WS_DISABLED}) {
        SCOPED_TRACE(testing::Message() << "style bit " << std::hex << bit);
        EXPECT_FALSE(s & bit);
    }
    for (LONG bit : {WS_EX_DLGMODALFRAME, WS_EX_CLIENTEDGE, WS_EX_STATICEDGE, WS_EX_TOOLWINDOW, WS_EX_TOPMOST}) {
        SCOPED_TRACE(testing::Message() << "extended style bit " << std::hex << bit);
        EXPECT_FALSE(ex_style(main_) & bit);
    }
    EXPECT_EQ(GetWindow(main_, GW_OWNER), nullptr);

    // The fixed 3-pixel frame leaves a client area 711 wide.
    const RECT client = client_rect_on_screen(main_);
    EXPECT_EQ(client.right - client.left, 711);

    // Places between the controls, where only the window's own background shows.
    const POINT black_spots[] = {{300, 350}, {636, 370}, {300, 389}, {59, 409}, {707, 410},
                                 {300, 429}, {420, 470}, {230, 490}, {300, 525}, {600, 526}};
    ASSERT_TRUE(bring_to_foreground(main_));
    auto colour_at = [&](POINT p) { return screen_pixel(client_to_screen(main_, p)); };
    wait_until([&] {
        for (POINT p : black_spots)
            if (colour_at(p) != RGB(0, 0, 0)) return false;
        return true;
    });
    for (POINT p : black_spots) {
        SCOPED_TRACE(testing::Message() << "client point (" << p.x << ", " << p.y << ")");
        ASSERT_LT(p.y, client.bottom - client.top);
        EXPECT_EQ(colour_at(p), std::optional<COLORREF>(RGB(0, 0, 0)));
    }
}

TEST_F(Frame, ControlsLieAtTheirPlacesInTheirOrder) {
    ASSERT_NO_FATAL_FAILURE(start());

    for (const Row& row : kLayout) {
        SCOPED_TRACE(printable(row.name));
        HWND w = control(row.name);
        ASSERT_TRUE(w) << "no " << row.class_name << " window at its place";
        EXPECT_EQ((style(w) & WS_VISIBLE) != 0, row.shown);
        EXPECT_EQ((style(w) & WS_TABSTOP) != 0, row.tab_stop);
        EXPECT_FALSE(style(w) & WS_DISABLED);
    }

    // Siblings in the table's order, topmost first, and nothing else.
    auto order_under = [&](HWND parent) {
        std::vector<std::string> names;
        for (HWND c : child_windows(parent)) names.push_back(name_of(c));
        return names;
    };
    std::vector<std::string> main_rows, panel_rows;
    for (const Row& row : kLayout) (row.parent ? panel_rows : main_rows).push_back(printable(row.name));
    auto listed = [](const std::vector<std::string>& names) {
        std::string s;
        for (const std::string& n : names) s += n + " ";
        return s;
    };
    const std::vector<std::string> main_order = order_under(main_);
    EXPECT_EQ(main_order, main_rows) << "top to bottom: " << listed(main_order) << "\nwanted: " << listed(main_rows);
    if (HWND panel = control(u8"图片框3")) {
        EXPECT_EQ(order_under(panel), panel_rows) << listed(order_under(panel));
    }

    // The help panel starts right of the client area: out of view.
    const RECT client = client_rect_on_screen(main_);
    EXPECT_GE(rect_in_parent(control(u8"图片框3")).left, client.right - client.left);
    EXPECT_FALSE(IsWindowVisible(control(u8"超文本浏览框2")));
}

TEST_F(Frame, EditBoxesAndButtonsStartWithTheirTextsAndStyles) {
    ASSERT_NO_FATAL_FAILURE(start());

    const struct {
        const char8_t* name;
        const char* text;
    } texts[] = {
        {u8"编辑框1", "http://www.orrindale.example/mp3-dj/orrindale_9813.html"},
        {u8"编辑框2", "旋律古乐搭配低音节奏"},
        {u8"编辑框3", ""},
        {u8"按钮1", "获取地址"},
        {u8"按钮2", "下载歌曲"},
        {u8"按钮3", "打开网址"},
        {u8"按钮4", "我已阅读完毕!"},
    };
    for (const auto& t : texts) {
        SCOPED_TRACE(printable(t.name));
        EXPECT_EQ(text_of(t.name), t.text);
    }

    const struct {
        const char8_t* name;
        bool read_only;
    } boxes[] = {{u8"编辑框1", false}, {u8"编辑框2", false}, {u8"编辑框3", true}};
    for (const auto& b : boxes) {
        SCOPED_TRACE(printable(b.name));
        HWND w = control(b.name);
        ASSERT_TRUE(w);
        EXPECT_EQ((style(w) & ES_READONLY) != 0, b.read_only);
        EXPECT_TRUE(style(w) & ES_AUTOHSCROLL);
        EXPECT_FALSE(style(w) & (ES_MULTILINE | ES_PASSWORD | WS_BORDER | WS_HSCROLL | WS_VSCROLL));
        EXPECT_EQ(ex_style(w) & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE), WS_EX_STATICEDGE);
    }

    // No button is a default button, which is why Enter clicks none.
    for (const char8_t* name : {u8"按钮1", u8"按钮2", u8"按钮3", u8"按钮4"}) {
        SCOPED_TRACE(printable(name));
        HWND w = control(name);
        ASSERT_TRUE(w);
        EXPECT_EQ(style(w) & BS_TYPEMASK, BS_PUSHBUTTON);
    }
}

TEST_F(Frame, EveryWayOfClosingEndsTheProgramWithExitCodeZero) {
    auto esc_in = [&](const char8_t* box) {
        ASSERT_NO_FATAL_FAILURE(click_into(box));
        keys(VK_ESCAPE);
    };
    const struct {
        const char* how;
        std::function<void()> act;
    } cases[] = {
        {"a click on the close button of the title bar",
         [&] {
             ASSERT_TRUE(bring_to_foreground(main_));
             auto close_button = point_with_hit_test(main_, HTCLOSE);
             ASSERT_TRUE(close_button);
             ASSERT_TRUE(click(*close_button));
         }},
        {"Esc in edit box 1", [&] { esc_in(u8"编辑框1"); }},
        {"Esc in edit box 2", [&] { esc_in(u8"编辑框2"); }},
        {"Esc in the read-only edit box 3", [&] { esc_in(u8"编辑框3"); }},
        {"Esc on a button",
         [&] {
             ASSERT_NO_FATAL_FAILURE(click_into(u8"编辑框1"));
             keys(VK_TAB);  // a click would press the button
             expect_focus(u8"按钮3");
             keys(VK_ESCAPE);
         }},
        {"Alt+F4", [&] { keys(VK_F4, kAlt); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        ASSERT_NO_FATAL_FAILURE(start());
        c.act();
        if (HasFatalFailure()) return;
        EXPECT_EQ(program_->wait_exit(), std::optional<DWORD>(0));
    }
}

TEST_F(Frame, EnterInAnEditBoxClicksNothing) {
    ASSERT_NO_FATAL_FAILURE(start());
    const std::vector<std::string> before = edit_texts();

    const struct {
        const char8_t* box;
        const char8_t* next;  // where Tab goes from the box
    } cases[] = {{u8"编辑框1", u8"按钮3"}, {u8"编辑框2", u8"按钮1"}, {u8"编辑框3", u8"按钮2"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(printable(c.box));
        ASSERT_NO_FATAL_FAILURE(click_into(c.box));
        keys(VK_RETURN);
        // Keys are handled in order: once Tab has moved the focus on, Enter
        // has been handled too. A clicked button would have put up a notice
        // box, which would also keep the focus from moving.
        keys(VK_TAB);
        expect_focus(c.next, 5000);
        EXPECT_EQ(find_message_box(program_->pid()), nullptr);
        EXPECT_TRUE(program_->running());
        EXPECT_TRUE(IsWindowVisible(main_));
        EXPECT_EQ(edit_texts(), before);
        if (HasFailure()) return;  // the next box would only fail the same way
    }
}

TEST_F(Frame, TypingAndPastingChangeTheEditableBoxesOnly) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(write_clipboard_text("pasted"));
    const std::string title = text_of(u8"编辑框2"), address = text_of(u8"编辑框3");

    ASSERT_NO_FATAL_FAILURE(click_into(u8"编辑框3"));
    keys(VK_END);
    type("Typed 123");
    keys('V', kCtrl);
    keys(VK_TAB);  // its focus move shows the keys before it were handled
    expect_focus(u8"按钮2");
    EXPECT_EQ(text_of(u8"编辑框3"), address);

    ASSERT_NO_FATAL_FAILURE(click_into(u8"编辑框2"));
    keys(VK_END);
    type("Typed 123");
    keys('V', kCtrl);
    const std::string wanted = title + "Typed 123pasted";
    EXPECT_TRUE(wait_until([&] { return text_of(u8"编辑框2") == wanted; }));
    EXPECT_EQ(text_of(u8"编辑框2"), wanted);
}

TEST_F(Frame, EditBoxTextGoesThroughTheClipboardUnlessItIsHeld) {
    ASSERT_NO_FATAL_FAILURE(start());
    const std::string title = text_of(u8"编辑框2");
    ASSERT_TRUE(write_clipboard_text("before"));

    // Copied from the box: the text with its terminating zero, as CF_TEXT.
    ASSERT_NO_FATAL_FAILURE(click_into(u8"编辑框2"));
    keys(VK_HOME);
    keys(VK_END, kShift);
    keys('C', kCtrl);
    std::optional<ClipboardText> copied;
    EXPECT_TRUE(wait_until([&] { return (copied = read_clipboard_text()) && copied->text() == title; }));
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->block, title + '\0');
    EXPECT_EQ(copied->block_size, title.size() + 1);

    // While the driver holds the clipboard open the box cannot paste.
    ASSERT_TRUE(write_clipboard_text("pasted"));
    {
        ClipboardHold hold;
        ASSERT_TRUE(hold.held());
        ASSERT_NO_FATAL_FAILURE(click_into(u8"编辑框2"));
        keys(VK_END);
        keys('V', kCtrl);
        keys(VK_TAB);  // its focus move shows the paste was tried
        expect_focus(u8"按钮1");
        EXPECT_EQ(text_of(u8"编辑框2"), title);
    }
    ASSERT_NO_FATAL_FAILURE(click_into(u8"编辑框2"));
    keys(VK_END);
    keys('V', kCtrl);
    EXPECT_TRUE(wait_until([&] { return text_of(u8"编辑框2") == title + "pasted"; })) << text_of(u8"编辑框2");
}

TEST_F(Frame, TabAndShiftTabMoveTheFocusAlongTheRows) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_NO_FATAL_FAILURE(click_into(u8"编辑框1"));
    const struct {
        unsigned modifiers;
        const char8_t* focus_after;
    } steps[] = {
        {kNoModifier, u8"按钮3"}, {kNoModifier, u8"编辑框2"}, {kShift, u8"按钮3"}, {kShift, u8"编辑框1"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << (step.modifiers ? "Shift+Tab to " : "Tab to ") << printable(step.focus_after));
        keys(VK_TAB, step.modifiers);
        expect_focus(step.focus_after);
    }
}

TEST_F(Frame, ProgramWorksInItsOwnFolderWhereverItWasStarted) {
    for (const char* started_in : {"C:\\windows", "C:\\"}) {
        SCOPED_TRACE(started_in);
        ASSERT_NO_FATAL_FAILURE(start({.working_directory = started_in}));
        const std::optional<std::string> dir = program_->current_directory();
        ASSERT_TRUE(dir);
        EXPECT_EQ(lstrcmpiA(dir->c_str(), folder_of(program_path()).c_str()), 0)
            << *dir << " is not the folder of " << program_path();
    }
}

// The reading itself: a program that never changes its current directory
// (the probe stops at once) shows the folder it was started in.
TEST(Driver, ReadsTheCurrentDirectoryOfAnotherProcess) {
    Program probe(probe_path(), {.working_directory = "C:\\windows"});
    ASSERT_TRUE(wait_for_message_box(probe.pid(), kStartTimeout));
    const std::optional<std::string> dir = probe.current_directory();
    ASSERT_TRUE(dir);
    EXPECT_EQ(lstrcmpiA(dir->c_str(), "C:\\windows\\"), 0) << *dir;
}

TEST(FatalStop, ShowsTheErrorBoxThenEndsTheProcessWithMinusOne) {
    Program probe(probe_path());
    const std::optional<MessageBoxView> box = wait_for_message_box(probe.pid(), kStartTimeout);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, "错误");
    EXPECT_EQ(box->text, "运行时出错!\r\n\r\n错误信息：分配 1024 字节内存失败!\r\n");
    EXPECT_EQ(box->icon, BoxIcon::Error);
    EXPECT_EQ(box->button_ids, std::vector<int>{IDOK});
    EXPECT_EQ(GetWindow(box->hwnd, GW_OWNER), nullptr);
    EXPECT_TRUE(probe.running()) << "the process must wait for the box";

    ASSERT_TRUE(dismiss_message_box(box->hwnd));
    EXPECT_EQ(probe.wait_exit(), std::optional<DWORD>(0xFFFFFFFF));
}

}  // namespace
