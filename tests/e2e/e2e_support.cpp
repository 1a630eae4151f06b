#include "tests/e2e/e2e_support.h"

#include <algorithm>
#include <cstdio>

namespace wm::e2e {

using namespace drive;

namespace {

// More notices than this before the main window, and the start is stuck.
constexpr int kMostStartNotices = 8;

// The file name of this test program without ".exe" ("e2e_frame").
std::string test_program_name() {
    char path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name(path, std::min<DWORD>(n, sizeof path));
    name.erase(0, name.find_last_of("\\/") + 1);
    if (name.size() > 4 && lstrcmpiA(name.c_str() + name.size() - 4, ".exe") == 0) name.resize(name.size() - 4);
    return name;
}

}  // namespace

std::string program_path() { return wine_path(WM_PROGRAM); }

HWND start_program(std::optional<Program>& program, const StartOptions& options, std::vector<std::string>* notices,
                   DWORD timeout_ms) {
    program.reset();
    program.emplace(program_path(), options);
    const DWORD pid = program->pid();
    // The whole start has `timeout_ms`; after a notice, though, the program
    // has kDefaultTimeout at least to take the click and show its window.
    const ULONGLONG start_end = GetTickCount64() + timeout_ms;
    auto time_left = [&] {
        const ULONGLONG now = GetTickCount64();
        return static_cast<DWORD>(std::max<ULONGLONG>(start_end > now ? start_end - now : 0, kDefaultTimeout));
    };
    DWORD wait_ms = timeout_ms;
    for (int shown = 0;; ++shown) {
        std::optional<MessageBoxView> box;
        HWND main = nullptr;
        wait_until(
            [&] {
                if (HWND b = find_message_box(pid)) return (box = read_message_box(b)).has_value();
                main = find_window(pid, {.title = kMainWindowTitle});
                return main != nullptr || !program->running();
            },
            wait_ms, 50);
        if (main) return main;
        if (!box) {
            ADD_FAILURE() << "the main window did not show; exit code "
                          << program->wait_exit(0).value_or(STILL_ACTIVE);
            return nullptr;
        }
        if (box->caption != kNoticeCaption) {
            ADD_FAILURE() << "a box came up instead of the window, its text: " << box->text;
            return nullptr;
        }
        if (shown == kMostStartNotices) {
            ADD_FAILURE() << "notice after notice came up instead of the window, the last: " << box->text;
            return nullptr;
        }
        if (notices) notices->push_back(box->text);
        if (!dismiss_message_box(box->hwnd, time_left())) {
            ADD_FAILURE() << "the notice stayed open after OK, its text: " << box->text;
            return nullptr;
        }
        wait_ms = time_left();
    }
}

void put_text(HWND control, const std::string& text) {
    ASSERT_TRUE(set_window_text(control, text));
    ASSERT_EQ(window_text(control), text);
}

void expect_notice_box(const MessageBoxView& box, HWND main) {
    EXPECT_EQ(box.caption, kNoticeCaption);
    EXPECT_EQ(box.icon, BoxIcon::Information);
    EXPECT_EQ(box.button_ids, std::vector<int>{IDOK});
    EXPECT_EQ(GetWindow(box.hwnd, GW_OWNER), nullptr);
    // Task-modal: the program's own windows are disabled while it is open.
    EXPECT_FALSE(IsWindowEnabled(main)) << "the notice must keep the main window from input";
}

void E2eTest::TearDown() {
    if (!HasFailure()) return;
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string file = test_program_name() + "." + info->name() + ".bmp";
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (auto shot = ScreenCapture::take(screen); shot && shot->save_bmp(file))
        std::printf("screen at the failure: %s\n", file.c_str());
}

}  // namespace wm::e2e
