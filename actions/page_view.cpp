#include "actions/page_view.h"

#include <windows.h>

#include <cstring>

#include "ui/handles.h"
#include "ui/html_view.h"
#include "ui/notice.h"

namespace wm::actions {
namespace {

using ui::Source;

void navigate_page_view(ui::MainWindow& window, std::string_view address) {
    if (ui::Control* view = window.control(Source::超文本浏览框1)) ui::navigate(*view, address);
}

// The clipboard, open for one scope.
class OpenClipboardScope {
public:
    OpenClipboardScope() : open_(OpenClipboard(nullptr) != FALSE) {}
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    ~OpenClipboardScope() {
        if (open_) CloseClipboard();
    }
    bool is_open() const { return open_; }

private:
    bool open_;
};

}  // namespace

void open_song_page(ui::MainWindow& window) { navigate_page_view(window, window.text(Source::编辑框1)); }

bool set_clipboard_text(std::string_view text) {
    OpenClipboardScope clipboard;
    if (!clipboard.is_open()) return false;
    EmptyClipboard();
    // Freed here unless handed over to the clipboard.
    ui::UniqueGlobal block{GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, text.size() + 1)};
    if (!block.get()) return false;
    void* bytes = GlobalLock(block.get());
    if (!bytes) return false;
    std::memcpy(bytes, text.data(), text.size());  // the zero after it is already there
    GlobalUnlock(block.get());
    if (!SetClipboardData(CF_TEXT, block.get())) return false;
    block.release();  // the clipboard owns it now
    return true;
}

void download_handoff(ui::MainWindow& window) {
    bool copied = set_clipboard_text(window.text(Source::编辑框3));
    navigate_page_view(window, window.text(Source::编辑框3));
    // Saying the address was copied when it was not would send the user to
    // paste whatever the clipboard held before.
    ui::notice_box(copied ? kHandOffMessage : kCopyFailedMessage);
}

}  // namespace wm::actions
