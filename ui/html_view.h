// 超文本浏览框 / HtmlViewer: a frame window hosting the system's WebBrowser control.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

#include "ui/control.h"

namespace wm::ui {

// Starts loading `address` (ANSI) in the view and returns at once with the
// browser's result; never blocks until the page has loaded.
HRESULT navigate(Control& view, std::string_view address);

// The address of the navigation being announced, while 即将跳转 runs.
std::string pending_address(const Control& view);

}  // namespace wm::ui
