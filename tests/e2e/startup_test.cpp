// The lookup that every start runs on the sample song page, seen from
// outside. This program runs where the sample host is 127.0.0.1 (see
// lookup.cmake), so the program's start-up request reaches the test's server
// on port 80. The driver ends the program at the end of each test, whatever
// happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lookup/extract.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/driver.h"
#include "tests/support/http_server.h"

namespace {

using namespace wm::drive;
using namespace wm::e2e;
using wm::test::html_page;
using wm::test::HttpServer;
using wm::test::Response;

constexpr DWORD kPortTimeout = 60'000;
const char* const kSamplePath = "/mp3-dj/orrindale_9813.html";
const RECT kDownloadAddressPlace{65, 437, 632, 461};  // 编辑框3 in the main window

// Port 80 is the machine's (Wine makes sockets in the wineserver, outside
// the test's namespace): another run of this test may hold it for a moment.
// Nullptr when it stays taken.
std::unique_ptr<HttpServer> serve_on_port_80(const Response& response) {
    std::unique_ptr<HttpServer> server;
    wait_until(
        [&] {
            try {
                server = std::make_unique<HttpServer>(std::vector<Response>{response}, 80);
            } catch (const std::runtime_error&) {
            }
            return server != nullptr;
        },
        kPortTimeout, 200);
    return server;
}

bool is_lookup_request(const std::string& head) {
    return head.starts_with(std::string("GET ") + kSamplePath + " HTTP/1.0\r\n");
}

// The page view asks for the same page, with its own HTTP/1.1 request.
std::vector<std::string> lookup_requests(const HttpServer& server) {
    std::vector<std::string> found;
    for (const std::string& head : server.requests())
        if (is_lookup_request(head)) found.push_back(head);
    return found;
}

// What a start showed first: a notice box, or the main window with what
// 编辑框3 held when it was first seen visible. (The box answers only when the
// program's thread is free again, so a window shown before the lookup would
// still be read with the address: the timing is judged by the requests.)
struct FirstSight {
    std::optional<MessageBoxView> notice;
    HWND main = nullptr;  // the main window, visible or not, once it exists
    bool main_visible = false;
    std::string address_box;
    // The main window was seen visible while the server had not yet had the
    // lookup's request. The server records a request before it answers, and
    // the program shows the window only after the answer: for a correct
    // program this never holds, however the polls fall.
    bool visible_before_request = false;
    // Whether, and how, the main window was looked at while the server held
    // the lookup's request unanswered (watched for a slow page only).
    bool looked_while_pending = false;
    bool visible_while_pending = false;
};

class Startup : public E2eTest {
protected:
    // Starts the program and watches until a notice box or the visible main
    // window comes up. With `watch_pending`, the first time the server is
    // seen holding the lookup's request, the main window's visibility is
    // noted (the server answers only after its pause).
    FirstSight start(const HttpServer& server, bool watch_pending) {
        program_.emplace(program_path());
        const DWORD pid = program_->pid();
        FirstSight sight;
        const bool seen = wait_until(
            [&] {
                if (HWND box = find_message_box(pid)) {
                    sight.notice = read_message_box(box);
                    return sight.notice.has_value();
                }
                if (!sight.main) sight.main = find_window(pid, {.title = kMainWindowTitle, .visible_only = false});
                // Visibility first, then the requests: in this order a
                // correct program can never look early.
                const bool visible = sight.main && IsWindowVisible(sight.main);
                const bool requested = !lookup_requests(server).empty();
                if (visible && !requested) sight.visible_before_request = true;
                if (watch_pending && requested && !sight.looked_while_pending) {
                    sight.looked_while_pending = true;
                    sight.visible_while_pending = sight.main && IsWindowVisible(sight.main);
                }
                if (visible) {
                    sight.main_visible = true;
                    HWND box3 = find_child(sight.main, "Edit", kDownloadAddressPlace);
                    sight.address_box = box3 ? window_text(box3).value_or("<no answer>") : "<no 编辑框3>";
                    return true;
                }
                return !program_->running();
            },
            kStartTimeout, 10);
        EXPECT_TRUE(seen) << "neither a notice nor the main window came up";
        EXPECT_TRUE(program_->running()) << "exit code " << program_->wait_exit(0).value_or(STILL_ACTIVE);
        return sight;
    }

    std::optional<Program> program_;
};

TEST_F(Startup, MainWindowFirstShowsWithTheSamplePagesAddressInPlace) {
    const std::string address =
        "http://" + std::string(wm::lookup::kMediaHost) + "/Dj_" + std::string(wm::lookup::kWebHost) + "/2010/12/abcd.ik";
    const std::string body = "<html><body><script>var rurl=\"12/abcd.wma\";var zurl=1</script></body></html>";
    const struct {
        const char* what;
        std::chrono::milliseconds pause;  // before the server answers
    } cases[] = {
        {"page served at once", std::chrono::milliseconds(0)},
        // The window stays hidden while the page is on its way.
        {"page served after a pause", std::chrono::milliseconds(1500)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::unique_ptr<HttpServer> served = serve_on_port_80(Response(html_page(body)).with_pause(0, c.pause));
        ASSERT_TRUE(served) << "port 80 stayed taken";
        const HttpServer& server = *served;
        const bool slow = c.pause.count() > 0;
        const FirstSight sight = start(server, slow);
        if (HasFatalFailure()) return;

        ASSERT_FALSE(sight.notice) << "notice: " << sight.notice->text;
        ASSERT_TRUE(sight.main_visible);
        EXPECT_EQ(sight.address_box, address) << "编辑框3 when the main window was first seen visible";
        EXPECT_FALSE(sight.visible_before_request) << "the window showed before the page was asked for";
        if (slow) {
            EXPECT_TRUE(sight.looked_while_pending) << "the request was never seen before the window showed";
            EXPECT_FALSE(sight.visible_while_pending) << "the window showed while the page was on its way";
        }

        const std::vector<std::string> lookups = lookup_requests(server);
        ASSERT_EQ(lookups.size(), 1u) << "lookup requests for " << kSamplePath;
        EXPECT_NE(lookups[0].find(std::string("\r\nHost: ") + std::string(wm::lookup::kWebHost) + "\r\n"),
                  std::string::npos)
            << lookups[0];
        program_.reset();
    }
}

TEST_F(Startup, NoticeStandsAloneAndTheWindowShowsAfterItIsDismissed) {
    const std::unique_ptr<HttpServer> served =
        serve_on_port_80(html_page("<html><body>no song on this page</body></html>"));
    ASSERT_TRUE(served) << "port 80 stayed taken";
    const HttpServer& server = *served;
    const FirstSight sight = start(server, false);
    if (HasFatalFailure()) return;

    ASSERT_TRUE(sight.notice) << "the main window showed first";
    EXPECT_FALSE(sight.visible_before_request) << "the window showed before the page was asked for";
    const MessageBoxView& box = *sight.notice;
    EXPECT_EQ(box.text, kNoDownloadAddress);
    EXPECT_EQ(box.caption, kNoticeCaption);
    EXPECT_EQ(box.icon, BoxIcon::Information);
    // The page had come before the notice.
    EXPECT_EQ(lookup_requests(server).size(), 1u);

    // The main window exists, hidden (and disabled by the task-modal box);
    // the box is the program's only visible window.
    HWND main = find_window(program_->pid(), {.title = kMainWindowTitle, .visible_only = false});
    ASSERT_TRUE(main);
    EXPECT_FALSE(IsWindowVisible(main));
    EXPECT_FALSE(IsWindowEnabled(main));
    std::vector<HWND> visible = top_level_windows(program_->pid());
    std::erase_if(visible, [](HWND w) { return !IsWindowVisible(w); });
    EXPECT_EQ(visible, std::vector<HWND>{box.hwnd});

    ASSERT_TRUE(dismiss_message_box(box.hwnd));
    ASSERT_EQ(wait_for_window(program_->pid(), {.title = kMainWindowTitle}), main);
    EXPECT_TRUE(IsWindowEnabled(main));
    HWND box3 = find_child(main, "Edit", kDownloadAddressPlace);
    ASSERT_TRUE(box3);
    EXPECT_EQ(window_text(box3), std::optional<std::string>(""));
}

}  // namespace
