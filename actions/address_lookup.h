// The address lookup: song page address in 编辑框1 -> download address in 编辑框3.
#pragma once
#include "ui/main_window.h"

namespace wm::actions {

inline constexpr const char* kNoPageAddress = "你还没输入歌曲网址,请复制粘贴歌曲网址";
inline constexpr const char* kNoSongTitle = "你还没输入歌曲名字,请复制粘贴歌曲名字";
inline constexpr const char* kNoDownloadAddress =
    "没有在这个网页上找到歌曲的下载地址,请检查歌曲网址是否正确";

// Fetches the page, cuts the media path out of it and shows the download
// address; a notice when a box is empty or the page holds no address.
// 编辑框3 is written only on success.
void address_lookup(ui::MainWindow& window);

}  // namespace wm::actions
