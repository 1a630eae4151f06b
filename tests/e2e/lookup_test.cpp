// The address lookup seen from outside: the real program is given a song
// page address on a loopback server, 获取地址 is clicked, and the download
// address box or a notice box shows the result. One copy of the program
// serves a whole test; the driver ends it at the end, whatever happened.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "lookup/extract.h"
#include "tests/support/driver.h"
#include "tests/support/http_server.h"

namespace {

using namespace wm::drive;
using wm::test::http_response;
using wm::test::HttpServer;
using wm::test::Response;

constexpr DWORD kStartTimeout = 30'000;  // the first start in a fresh prefix is slow
constexpr DWORD kLookupTimeout = 20'000;
const char* const kTitle = "Wendmere By Pellwick QQ80417352";
const char* const kNoticeTitle = "Pellwick提醒";
const char* const kNoPageAddress = "你还没输入歌曲网址,请复制粘贴歌曲网址";
const char* const kNoSongTitle = "你还没输入歌曲名字,请复制粘贴歌曲名字";
const char* const kNoDownloadAddress = "没有在这个网页上找到歌曲的下载地址,请检查歌曲网址是否正确";
const char* const kAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";
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

std::string page(std::string_view body) { return http_response("200 OK", "Content-Type: text/html\r\n", body); }

// What one run of the lookup came to: the notice it showed, if any, the
// requests the server had when the notice was found, and 编辑框3 afterwards.
struct Outcome {
    std::optional<MessageBoxView> notice;
    std::vector<std::string> requests_at_notice;
    std::string address_box;
};

class Lookup : public ::testing::Test {
protected:
    void SetUp() override {
        program_.emplace(wine_path(WM_PROGRAM));
        const DWORD pid = program_->pid();
        // The start-up lookup cannot reach the sample song page on this
        // machine: its notice comes before the main window.
        const std::optional<MessageBoxView> box = wait_for_message_box(pid, kStartTimeout);
        ASSERT_TRUE(box) << "no start-up notice; exit code " << program_->wait_exit(0).value_or(STILL_ACTIVE);
        ASSERT_EQ(box->text, kNoDownloadAddress);
        ASSERT_TRUE(dismiss_message_box(box->hwnd));
        main_ = wait_for_window(pid, {.title = kTitle});
        ASSERT_TRUE(main_) << "the main window did not show";
        page_address_ = find_child(main_, "Edit", {65, 357, 632, 381});
        song_title_ = find_child(main_, "Edit", {65, 397, 632, 421});
        download_address_ = find_child(main_, "Edit", {65, 437, 632, 461});
        get_address_ = find_child(main_, "Button", {640, 397, 704, 421});
        ASSERT_TRUE(page_address_ && song_title_ && download_address_ && get_address_);
    }

    void TearDown() override {
        if (!HasFailure()) return;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string file = std::string("e2e_lookup.") + info->name() + ".bmp";
        const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (auto shot = ScreenCapture::take(screen); shot && shot->save_bmp(file))
            std::printf("screen at the failure: %s\n", file.c_str());
    }

    // WM_SETTEXT, as a paste would leave the box (read-only boxes take it too).
    void put(HWND box, const std::string& text) {
        DWORD_PTR result = 0;
        ASSERT_TRUE(SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                        kDefaultTimeout, &result));
        ASSERT_EQ(window_text(box), text);
    }

    std::string text_of(HWND box) { return window_text(box).value_or("<no answer>"); }

    // Fills the boxes, clicks 获取地址 and waits until the run shows a notice or
    // writes 编辑框3. A notice is checked for what every notice of the lookup
    // shares, then dismissed.
    Outcome run(const std::string& page_address, const std::string& song_title, const HttpServer* server) {
        Outcome outcome;
        EXPECT_EQ(find_message_box(program_->pid()), nullptr) << "a box is open before the click";
        put(page_address_, page_address);
        put(song_title_, song_title);
        put(download_address_, kEarlierAddress);
        if (testing::Test::HasFatalFailure()) return outcome;

        EXPECT_TRUE(bring_to_foreground(main_));
        const RECT r = window_rect(get_address_);
        EXPECT_TRUE(click({(r.left + r.right) / 2, (r.top + r.bottom) / 2}));

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
            EXPECT_TRUE(outcome.notice);
            if (outcome.notice) {
                EXPECT_EQ(outcome.notice->caption, kNoticeTitle);
                EXPECT_EQ(outcome.notice->icon, BoxIcon::Information);
                EXPECT_EQ(outcome.notice->button_ids, std::vector<int>{IDOK});
            }
            EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
            // Task-modal: the program's own windows are disabled while it is open.
            EXPECT_FALSE(IsWindowEnabled(main_));
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
    EXPECT_NE(requests[0].find(std::string("\r\nUser-Agent: ") + kAgent + "\r\n"), std::string::npos)
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
         page("<html><head><title>旋律古乐搭配低音节奏</title></head><body>\r\n<script>var rurl=\"12/abcd.wma\";"
              "var zurl=\"http://other/12/abcd.mp3\";</script>\r\n</body></html>"),
         prefix + "12/abcd.ik"},
        {"page marker in capitals", page("<script>VAR RURL=\"12/abcd.wma\";var zurl=1</script>"),
         prefix + "12/abcd.ik"},
        {"page marker in mixed case", page("<script>Var rUrL=\"12/abcd.wma\";var zurl=1</script>"),
         prefix + "12/abcd.ik"},
        {"end marker in capitals", page("<script>var rurl=\"12/abcd.WMA\";VAR ZURL=1</script>"), std::nullopt},
        {"media path of three pieces: the third is dropped", page("var rurl=\"a/b/c.wma\";var zurl=1"),
         prefix + "a/b.ik"},
        {"markers after a zero byte", page("<html>" + nul + "var rurl=\"12/abcd.wma\";var zurl=1"), std::nullopt},
        {"an error page is searched like any other",
         http_response("404 Not Found", "Content-Type: text/html\r\n",
                       "<h1>Not Found</h1><script>var rurl=\"12/abcd.wma\";var zurl=1</script>"),
         prefix + "12/abcd.ik"},
        {"end marker first: the search for it starts at the page's beginning",
         page("x.wma\";var zurl=0; var rurl=\"12/abcd.wma\";var zurl=1"), std::nullopt},
        {"no page marker: the media path runs from the ninth byte", page("<b>x</b>12/abcd.wma\";var zurl=1"),
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
    HttpServer server({Response(page("var rurl=\"12/abcd.wma\";var zurl=1"))});
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
            EXPECT_NE(requests.back().find(std::string("\r\nUser-Agent: ") + kAgent + "\r\n"), std::string::npos);
        }
    }
}

}  // namespace
