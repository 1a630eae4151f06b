// What the end-to-end tests share: the program's path and the texts they look
// for, the start up to the main window, the checks every notice box takes,
// and a fixture base that keeps a picture of the screen when a test fails.
// Built on wm_test_driver; the checks report through GoogleTest.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/support/driver.h"

namespace wm::e2e {

inline constexpr DWORD kStartTimeout = 30'000;  // ms; the first start in a fresh prefix is slow
inline constexpr const char* kMainWindowTitle = "Wendmere By Pellwick QQ80417352";
// The caption of the program's notice boxes.
inline constexpr const char* kNoticeCaption = "Pellwick提醒";
// The notice of a lookup whose song page gives no download address; the
// start-up lookup shows it whenever the sample song page cannot be had.
inline constexpr const char* kNoDownloadAddress = "没有在这个网页上找到歌曲的下载地址,请检查歌曲网址是否正确";
// The agent the address lookup fetches song pages with (the page view's
// browser has its own).
inline constexpr const char* kLookupAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

// wendmere.exe as the Windows side sees it.
std::string program_path();

// Starts wendmere.exe into `program` (ending the copy it held) and waits for
// the main window. The notices the program shows before it (here the start-up
// lookup cannot reach the sample song page) are dismissed, as a person would,
// and their texts added to `notices` when given. Any other box, the program's
// end, or no window within `timeout_ms` (and at least kDefaultTimeout after
// each notice) fails the test and gives nullptr.
HWND start_program(std::optional<drive::Program>& program, const drive::StartOptions& options = {},
                   std::vector<std::string>* notices = nullptr, DWORD timeout_ms = kStartTimeout);

// Gives a control a new text through WM_SETTEXT, as a paste would leave it
// (read-only boxes take it too), and checks that it reads back. Fatal
// failures: call it inside ASSERT_NO_FATAL_FAILURE or check HasFatalFailure.
void put_text(HWND control, const std::string& text);

// Checks what every notice box of the program shares: the notice caption,
// the information icon, only OK, no owner, and the main window disabled while
// it is open (the box is task-modal). Its text is the caller's to check.
void expect_notice_box(const drive::MessageBoxView& box, HWND main);

// The base of the end-to-end fixtures: when a test fails, what the screen
// showed is saved as "<test program>.<test>.bmp" in the working directory,
// for people to look at.
class E2eTest : public ::testing::Test {
protected:
    void TearDown() override;
};

}  // namespace wm::e2e
