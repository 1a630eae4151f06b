// The address lookup seen from outside: the real program is given a song
// page address on a loopback server, 获取地址 is clicked, and the download
// address box or a notice box shows the result. One copy of the program
// serves a whole test; the driver ends it at the end, whatever happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
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
using wm::test::http_response;
using wm::test::HttpServer;
using wm::test::Response;

constexpr DWORD kLookupTimeout = 20'000;
const char* const kNoPageAddress = "你还没输入歌曲网址,请复制粘贴歌曲网址";
const char* const kNoSongTitle = "你还没输入歌曲名字,请复制粘贴歌曲名字";
const char* const kSongTitle = "旋律古乐搭配低音节奏";
// What 编辑框3 holds before each run, so that a run that writes nothing is told
// from one that writes the same address again.
const char* const kEarlierAddress = "上一首歌的地址 http://example.invalid/old.ik";

// "http://" + media host + "/Dj_" + web host + "/2010/": the hosts are the
// program's choice, the frame around them is not.
std::string file_server_prefix() {
    return "http://" + std::string(wm::lookup::kMediaHost) + "/Dj_" + std::string(wm::lookup::kWebHost) +
           "/2010/";
}

std::string first_line(const std::string& head) { return head.substr(0, head.find("\r\n")); }

// What one run of the lookup came to: the notice it showed, if any, the
// requests the server had when the notice was found, and 编辑框3 afterwards.
struct Outcome {
    std::optional<MessageBoxView> notice;
    std::vector<std::string> requests_at_notice;
    std::string address_box;
};

class Lookup : public E2eTest {
protected:
    void SetUp() override {
        // The start-up lookup cannot reach the sample song page on this
        // machine: its notice, and only it, comes before the main window.
        std::vector<std::string> notices;
        main_ = start_program(program_, {}, &notices);
        ASSERT_TRUE(main_) << "the program did not start";
        ASSERT_EQ(notices, std::vector<std::string>{kNoDownloadAddress}) << "the notices before the main window";
        page_address_ = find_child(main_, "Edit", {65, 357, 632, 381});
        song_title_ = find_child(main_, "Edit", {65, 397, 632, 421});
        download_address_ = find_child(main_, "Edit", {65, 437, 632, 461});
        get_address_ = find_child(main_, "Button", {640, 397, 704, 421});
        ASSERT_TRUE(page_address_ && song_title_ && download_address_ && get_address_);
    }

    std::string text_of(HWND box) { return window_text(box).value_or("<no answer>"); }

    // Fills the boxes, clicks 获取地址 and waits until the run shows a notice or
    // writes 编辑框3. A notice is checked for what every notice of the lookup
    // shares, then dismissed.
    Outcome run(const std::string& page_address, const std::string& song_title, const HttpServer* server) {
        Outcome outcome;
        EXPECT_EQ(find_message_box(program_->pid()), nullptr) << "a box is open before the click";
        put_text(page_address_, page_address);
        put_text(song_title_, song_title);
        put_text(download_address_, kEarlierAddress);
        if (testing::Test::HasFatalFailure()) return outcome;

        EXPECT_TRUE(bring_to_foreground(main_));
        EXPECT_TRUE(click_middle(get_address_));

        HWND box = nullptr;
        const bool ended = wait_until(
            [&] {
                if ((box = find_message_box(program_->pid()))) {
                    if (server) outcome.requests_at_notice = server->requests();
                    return true;
                }
                return text_of(download_address_) != kEarlierAddress;
            },
            kLookupTimeout);
        EXPECT_TRUE(ended) << "neither a notice nor an address came";
        if (box) {
            outcome.notice = read_message_box(box);
            EXPECT_TRUE(outcome.notice) << "the notice could not be read";
            if (outcome.notice) expect_notice_box(*outcome.notice, main_);
            EXPECT_TRUE(dismiss_message_box(box));
            EXPECT_TRUE(wait_until([&] { return IsWindowEnabled(main_) != FALSE; }));
        }
        outcome.address_box = text_of(download_address_);
        return outcome;
    }

    std::optional<Program> program_;
    HWND main_ = nullptr;
    HWND page_address_ = nullptr, song_title_ = nullptr, download_address_ = nullptr, get_address_ = nullptr;
};

// Every request of these tests comes from the lookup: the page view is never
// pointed at the test servers. Checks that there was exactly one, and what it was.
void expect_one_lookup_request(const std::vector<std::string>& requests, const std::string& path) {
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(first_line(requests[0]), "GET " + path + " HTTP/1.0");
    EXPECT_NE(requests[0].find(std::string("\r\nUser-Agent: ") + kLookupAgent + "\r\n"), std::string::npos)
        << requests[0];
}

TEST_F(Lookup, SongPageGivesTheDownloadAddressOrTheNotice) {
    const std::string prefix = file_server_prefix();
    const std::string nul(1, '\0');
    const struct {
        const char* what;
        std::string response;
        std::optional<std::string> address;  // nullopt: the page gives none, the notice shows
    } cases[] = {
        {"a page as the site serves it",
         html_page("<html><head><title>旋律古乐搭配低音节奏</title></head><body>\r\n<script>var rurl=\"12/abcd.wma\";"
                   "var zurl=\"http://other/12/abcd.mp3\";</script>\r\n</body></html>"),
         prefix + "12/abcd.ik"},
        {"page marker in capitals", html_page("<script>VAR RURL=\"12/abcd.wma\";var zurl=1</script>"),
         prefix + "12/abcd.ik"},
        {"page marker in mixed case", html_page("<script>Var rUrL=\"12/abcd.wma\";var zurl=1</script>"),
         prefix + "12/abcd.ik"},
        {"end marker in capitals", html_page("<script>var rurl=\"12/abcd.WMA\";VAR ZURL=1</script>"), std::nullopt},
        {"media path of three pieces: the third is dropped", html_page("var rurl=\"a/b/c.wma\";var zurl=1"),
         prefix + "a/b.ik"},
        {"markers after a zero byte", html_page("<html>" + nul + "var rurl=\"12/abcd.wma\";var zurl=1"), std::nullopt},
        {"an error page is searched like any other",
         http_response("404 Not Found", "Content-Type: text/html\r\n",
                       "<h1>Not Found</h1><script>var rurl=\"12/abcd.wma\";var zurl=1</script>"),
         prefix + "12/abcd.ik"},
        {"end marker first: the search for it starts at the page's beginning",
         html_page("x.wma\";var zurl=0; var rurl=\"12/abcd.wma\";var zurl=1"), std::nullopt},
        {"no page marker: the media path runs from the ninth byte", html_page("<b>x</b>12/abcd.wma\";var zurl=1"),
         prefix + "12/abcd.ik"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HttpServer server({Response(c.response)});
        const std::string path = "/mp3-dj/song_7.html";
        const Outcome outcome = run(server.url(path), kSongTitle, &server);
        if (HasFatalFailure()) return;
        if (c.address) {
            EXPECT_FALSE(outcome.notice) << "notice: " << outcome.notice->text;
            EXPECT_EQ(outcome.address_box, *c.address);
        } else {
            ASSERT_TRUE(outcome.notice) << "no notice; 编辑框3: " << outcome.address_box;
            EXPECT_EQ(outcome.notice->text, kNoDownloadAddress);
            EXPECT_EQ(outcome.address_box, kEarlierAddress);
        }
        expect_one_lookup_request(server.requests(), path);
    }
}

TEST_F(Lookup, EmptyBoxBringsItsNoticeAndLeavesTheAddressBoxAlone) {
    // The page holds an address: a lookup that skipped a box's test would write it.
    HttpServer server({Response(html_page("var rurl=\"12/abcd.wma\";var zurl=1"))});
    const std::string path = "/mp3-dj/song_8.html";
    const struct {
        const char* what;
        std::string page_address, song_title;
        const char* notice;
        bool fetched;  // the page is fetched before the boxes are tested
    } cases[] = {
        // Only the first notice, even with both boxes empty: a second box
        // would be found by the next case.
        {"both boxes empty", "", "", kNoPageAddress, false},
        {"page address empty", "", kSongTitle, kNoPageAddress, false},
        {"song title empty", server.url(path), "", kNoSongTitle, true},
        // A box of spaces is not empty: the run goes through.
        {"song title of one space", server.url(path), " ", nullptr, true},
    };
    size_t fetches = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome outcome = run(c.page_address, c.song_title, &server);
        if (HasFatalFailure()) return;
        if (c.fetched) ++fetches;
        if (c.notice) {
            ASSERT_TRUE(outcome.notice) << "no notice; 编辑框3: " << outcome.address_box;
            EXPECT_EQ(outcome.notice->text, c.notice);
            EXPECT_EQ(outcome.address_box, kEarlierAddress);
            // The request had reached the server by the time the notice showed.
            EXPECT_EQ(outcome.requests_at_notice.size(), fetches);
        } else {
            EXPECT_FALSE(outcome.notice) << "notice: " << outcome.notice->text;
            EXPECT_EQ(outcome.address_box, file_server_prefix() + "12/abcd.ik");
        }
        const std::vector<std::string> requests = server.requests();
        ASSERT_EQ(requests.size(), fetches) << "requests to the server so far";
        if (c.fetched) {
            EXPECT_EQ(first_line(requests.back()), "GET " + path + " HTTP/1.0");
            EXPECT_NE(requests.back().find(std::string("\r\nUser-Agent: ") + kLookupAgent + "\r\n"), std::string::npos);
        }
    }
}

}  // namespace
