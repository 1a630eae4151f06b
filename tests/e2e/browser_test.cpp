// The embedded page view and the download hand-off seen from outside: the
// real program is started and worked with clicks, a loopback server stands in
// for the web and tells which addresses the page view asked for, and the
// clipboard is read as any other program would read it. Each test starts its
// own copy of the program; the driver ends it at the end of the test,
// whatever happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"
#include "tests/support/driver.h"
#include "tests/support/http_server.h"

namespace {

using namespace wm::drive;
using namespace wm::e2e;
using wm::test::HttpServer;

constexpr DWORD kRequestTimeout = 15'000;
const char* const kHandOffMessage =
    "歌曲下载地址已经复制,如果软件不能正常下载,请打开迅雷点新建右键粘贴下载地址手动下载!";
const char* const kCopyFailedMessage = "歌曲下载地址没能复制到剪贴板,请在下载地址框中选中地址手动复制!";

// The first line and the agent of a recorded request head.
struct Request {
    std::string method, target, version, agent;
};

Request parse_request(const std::string& head) {
    Request r;
    const std::string line = head.substr(0, head.find("\r\n"));
    const size_t a = line.find(' '), b = line.rfind(' ');
    if (a == std::string::npos || b == a) return r;
    r.method = line.substr(0, a);
    r.target = line.substr(a + 1, b - a - 1);
    r.version = line.substr(b + 1);
    for (size_t at = head.find("\r\n"); at != std::string::npos; at = head.find("\r\n", at + 2)) {
        const size_t end = head.find("\r\n", at + 2);
        const std::string header = head.substr(at + 2, end == std::string::npos ? end : end - at - 2);
        if (header.size() > 11 && lstrcmpiA(header.substr(0, 11).c_str(), "User-Agent:") == 0) {
            const size_t value = header.find_first_not_of(' ', 11);
            r.agent = value == std::string::npos ? "" : header.substr(value);
        }
    }
    return r;
}

std::vector<Request> requests_of(const HttpServer& server) {
    std::vector<Request> out;
    for (const std::string& head : server.requests()) out.push_back(parse_request(head));
    return out;
}

// Every request the server saw, one line each, for failure messages.
std::string listed(const HttpServer& server) {
    std::string s;
    for (const Request& r : requests_of(server))
        s += "\n  " + r.method + " " + r.target + " " + r.version + " (" + r.agent + ")";
    return s.empty() ? " none" : s;
}

// Waits until the server has seen a GET for one of `targets`; that request,
// or nullopt when none came in time.
std::optional<Request> wait_for_get(const HttpServer& server, const std::vector<std::string>& targets,
                                    DWORD timeout_ms = kRequestTimeout) {
    std::optional<Request> found;
    wait_until(
        [&] {
            for (const Request& r : requests_of(server))
                for (const std::string& t : targets)
                    if (r.method == "GET" && r.target == t) found = r;
            return found.has_value();
        },
        timeout_ms, 50);
    return found;
}

// The size of a file, or nullopt when it does not exist.
std::optional<LONGLONG> file_size(const std::string& windows_path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(windows_path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// What a file holds past its first `skip` bytes, for failure messages.
std::string file_tail(const std::string& windows_path, LONGLONG skip) {
    std::ifstream in(windows_path, std::ios::binary);
    in.seekg(skip);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class Browser : public E2eTest {
protected:
    // Starts the program, past its notices, and finds the controls these
    // tests work with.
    void start() {
        main_ = start_program(program_);
        ASSERT_TRUE(main_) << "the program did not start";
        page_view_ = find_child(main_, "Wendmere.HtmlViewer", {-6, -104, 711, 344});
        address_box_ = find_child(main_, "Edit", {65, 357, 632, 381});       // 编辑框1
        download_box_ = find_child(main_, "Edit", {65, 437, 632, 461});      // 编辑框3
        open_button_ = find_child(main_, "Button", {640, 357, 704, 381});    // 按钮3 打开网址
        download_button_ = find_child(main_, "Button", {640, 437, 704, 461});  // 按钮2 下载歌曲
        ASSERT_TRUE(page_view_ && address_box_ && download_box_ && open_button_ && download_button_);
    }

    // A real click in the middle of a button of the main window.
    void press(HWND button) {
        ASSERT_TRUE(bring_to_foreground(main_));
        ASSERT_TRUE(click_middle(button));
    }

    // Waits for the program's notice box and checks it is a notice with
    // `text`.
    std::optional<MessageBoxView> expect_notice(const char* text) {
        std::optional<MessageBoxView> box = wait_for_message_box(program_->pid());
        EXPECT_TRUE(box) << "no notice box";
        if (!box) return box;
        EXPECT_EQ(box->text, text);
        expect_notice_box(*box, main_);
        return box;
    }

    // The lookup's own fetch must not run on these buttons.
    void expect_no_lookup_request() {
        for (const Request& r : requests_of(server_))
            EXPECT_NE(r.agent, kLookupAgent) << "the address lookup fetched " << r.target;
    }

    HttpServer server_{{wm::test::http_response("200 OK", "Content-Type: text/html\r\nContent-Length: 24\r\n",
                                                 "<html><p>song</p></html>")}};
    std::optional<Program> program_;  // declared after the server: ended before it
    HWND main_ = nullptr;
    HWND page_view_ = nullptr, address_box_ = nullptr, download_box_ = nullptr;
    HWND open_button_ = nullptr, download_button_ = nullptr;
};

TEST_F(Browser, PageViewHoldsTheBrowserAndOpensTheAddressOfTheFirstBox) {
    ASSERT_NO_FATAL_FAILURE(start());

    // The browser is the frame's one child and covers its client area.
    RECT client{};
    ASSERT_TRUE(GetClientRect(page_view_, &client));
    EXPECT_EQ(client.right, 717);
    EXPECT_EQ(client.bottom, 448);
    const std::vector<HWND> children = child_windows(page_view_);
    ASSERT_EQ(children.size(), 1u);
    HWND browser = children[0];
    EXPECT_EQ(class_name(browser), "Shell Embedding");
    EXPECT_TRUE(style(browser) & WS_CHILD);
    EXPECT_TRUE(IsWindowVisible(browser));
    const RECT place = rect_in_parent(browser);
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.top, 0);
    EXPECT_EQ(place.right, client.right);
    EXPECT_EQ(place.bottom, client.bottom);

    // The fragment stays with the browser: HTTP sends path and query only.
    ASSERT_NO_FATAL_FAILURE(put_text(address_box_, server_.url("/song?id=7#top")));
    ASSERT_NO_FATAL_FAILURE(press(open_button_));
    const std::optional<Request> got = wait_for_get(server_, {"/song?id=7"});
    EXPECT_TRUE(got) << "requests seen:" << listed(server_);
    expect_no_lookup_request();
    EXPECT_EQ(find_message_box(program_->pid()), nullptr) << "opening a page shows nothing";
}

TEST_F(Browser, DownloadPutsEachAddressOnTheClipboardAndInThePageView) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(write_clipboard_text("sentinel"));

    // One click after the other, each with what the address box holds then.
    const struct {
        const char* what;
        std::string address;
        // What the page view may ask the server for; none for no address. A
        // path that is not ASCII goes out as the code page's bytes (Wine) or
        // as UTF-8 escapes (other browsers): either way, the same characters.
        std::vector<std::string> requested;
    } clicks[] = {
        {"an address", server_.url("/dj/7.ik"), {"/dj/7.ik"}},
        {"another address right after", server_.url("/dj/8.ik?from=box"), {"/dj/8.ik?from=box"}},
        {"an address with Chinese characters", server_.url("/cn/歌曲.ik"),
         {"/cn/歌曲.ik", "/cn/%E6%AD%8C%E6%9B%B2.ik"}},
        {"an empty box", "", {}},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(put_text(download_box_, c.address));
        ASSERT_NO_FATAL_FAILURE(press(download_button_));
        const std::optional<MessageBoxView> box = expect_notice(kHandOffMessage);
        ASSERT_TRUE(box);

        // The copy is made before the notice shows. The block read back is
        // all of it (GlobalSize bytes): the address in the ANSI code page
        // and one zero, nothing more.
        const std::optional<ClipboardText> copied = read_clipboard_text();
        ASSERT_TRUE(copied) << "no CF_TEXT on the clipboard";
        EXPECT_EQ(copied->block, c.address + '\0');

        if (!c.requested.empty()) {
            EXPECT_TRUE(wait_for_get(server_, c.requested)) << "requests seen:" << listed(server_);
        }
        ASSERT_TRUE(dismiss_message_box(box->hwnd));
        EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(main_) != FALSE; }));
        EXPECT_EQ(find_message_box(program_->pid()), nullptr) << "one notice per click";
    }
    expect_no_lookup_request();
}

TEST_F(Browser, HeldClipboardKeepsItsContentAndTheNoticeSaysSo) {
    ASSERT_NO_FATAL_FAILURE(start());
    ASSERT_TRUE(write_clipboard_text("sentinel"));
    const std::string address = server_.url("/dj/held.ik");
    ASSERT_NO_FATAL_FAILURE(put_text(download_box_, address));

    std::optional<MessageBoxView> box;
    {
        ClipboardHold hold;
        ASSERT_TRUE(hold.held());
        ASSERT_NO_FATAL_FAILURE(press(download_button_));
        // The notice comes after the copy was tried, so the hold may end now.
        box = expect_notice(kCopyFailedMessage);
        ASSERT_TRUE(box);
    }
    const std::optional<ClipboardText> kept = read_clipboard_text();
    ASSERT_TRUE(kept);
    EXPECT_EQ(kept->text(), "sentinel");
    EXPECT_TRUE(wait_for_get(server_, {"/dj/held.ik"})) << "the page view was not navigated; requests seen:"
                                                      << listed(server_);
    ASSERT_TRUE(dismiss_message_box(box->hwnd));

    // Nothing of the failure is kept: once the clipboard is free the next click copies.
    ASSERT_NO_FATAL_FAILURE(press(download_button_));
    box = expect_notice(kHandOffMessage);
    ASSERT_TRUE(box);
    const std::optional<ClipboardText> copied = read_clipboard_text();
    ASSERT_TRUE(copied);
    EXPECT_EQ(copied->text(), address);
    ASSERT_TRUE(dismiss_message_box(box->hwnd));
}

// Keeps Wine from loading the WebBrowser control into programs of one file
// name while it lives: DLL overrides per program name, in the prefix's
// registry. A test's own copy of the program under a name of its own leaves
// every other run untouched.
class BrowserControlWithheld {
public:
    explicit BrowserControlWithheld(const std::string& program_name)
        : program_key_("Software\\Wine\\AppDefaults\\" + program_name) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, (program_key_ + "\\DllOverrides").c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        done_ = true;
        for (const char* dll : {"ieframe", "shdocvw"})  // an empty order: not loaded at all
            done_ = done_ && RegSetValueExA(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    BrowserControlWithheld(const BrowserControlWithheld&) = delete;
    BrowserControlWithheld& operator=(const BrowserControlWithheld&) = delete;
    ~BrowserControlWithheld() {
        RegDeleteKeyA(HKEY_CURRENT_USER, (program_key_ + "\\DllOverrides").c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, program_key_.c_str());
    }
    bool done() const { return done_; }

private:
    std::string program_key_;
    bool done_ = false;
};

// Without the WebBrowser control the page view cannot be made, so neither can
// the main window: the frame's fatal stop ends the program before anything
// else is shown, and without the closing step.
TEST_F(Browser, WithoutTheBrowserControlTheProgramStopsBeforeItsWindowShows) {
    const std::string program = wine_path(WM_BROWSERLESS_PROGRAM);
    BrowserControlWithheld withheld(program.substr(program.rfind('\\') + 1));
    ASSERT_TRUE(withheld.done());

    // The prefix's browser launcher appends every address it is given here.
    const char* prefix = std::getenv("WINEPREFIX");
    ASSERT_TRUE(prefix) << "the Wine prefix is not known";
    const std::string opened = wine_path(std::string(prefix) + "/opened-addresses.txt");
    const std::optional<LONGLONG> opened_before = file_size(opened);

    program_.emplace(program);
    const DWORD pid = program_->pid();
    bool window_seen = false;
    std::optional<MessageBoxView> box;
    wait_until(
        [&] {
            if (find_window(pid, {.title = kMainWindowTitle})) window_seen = true;
            if (HWND b = find_message_box(pid)) box = read_message_box(b);
            return box.has_value() || !program_->running();
        },
        kStartTimeout, 20);
    ASSERT_TRUE(box) << "no box; exit code " << program_->wait_exit(0).value_or(STILL_ACTIVE);
    ASSERT_NE(box->caption, kNoticeCaption) << "the program started with its browser control: " << box->text;
    EXPECT_EQ(box->caption, "错误");
    EXPECT_EQ(box->text, "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
    EXPECT_EQ(box->icon, BoxIcon::Error);
    EXPECT_EQ(box->button_ids, std::vector<int>{IDOK});
    EXPECT_EQ(GetWindow(box->hwnd, GW_OWNER), nullptr);
    for (HWND w : top_level_windows(pid))
        EXPECT_TRUE(w == box->hwnd || !IsWindowVisible(w)) << "a window of class " << class_name(w) << " shows";
    EXPECT_TRUE(program_->running()) << "the process must wait for the box";

    ASSERT_TRUE(dismiss_message_box(box->hwnd));
    EXPECT_EQ(program_->wait_exit(), std::optional<DWORD>(0xFFFFFFFF));
    EXPECT_FALSE(window_seen) << "the main window showed";
    // The launcher runs apart from the program: an address handed to it would
    // land in the file a moment after the program ended, so look for a while.
    // (Another program run in the same prefix meanwhile could add one too.)
    wait_until([&] { return file_size(opened) != opened_before; }, 2000, 100);
    EXPECT_EQ(file_size(opened), opened_before)
        << "the browser was asked to open: " << file_tail(opened, opened_before.value_or(0));
}

}  // namespace
