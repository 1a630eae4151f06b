// What the page view shows: the song page, and the download address on hand-off.
#pragma once
#include <string_view>

#include "ui/main_window.h"

namespace wm::actions {

inline constexpr const char* kHandOffMessage =
    "歌曲下载地址已经复制,如果软件不能正常下载,请打开迅雷点新建右键粘贴下载地址手动下载!";
inline constexpr const char* kCopyFailedMessage =
    "歌曲下载地址没能复制到剪贴板,请在下载地址框中选中地址手动复制!";

// Navigates the page view to the text of 编辑框1 (start-up and 打开网址).
void open_song_page(ui::MainWindow& window);

// 下载歌曲: the download address goes to the clipboard and to the page view,
// then a notice tells the user what was done.
void download_handoff(ui::MainWindow& window);

// Replaces the clipboard's content with `text` as CF_TEXT; false when the
// clipboard could not be opened or the text could not be placed on it.
bool set_clipboard_text(std::string_view text);

}  // namespace wm::actions
