#include "ui/layout.h"

#include <set>

#include "lookup/extract.h"

namespace wm::ui {
namespace {

constexpr const char* kTipText =
    "友情提示:下载好后为.ik格式的文件\r\n"
    "这时候把文件重命名把.ik更换为.flv\r\n"
    "接着去百度下载格式工厂转码成MP3即可.\r\n";

constexpr Colour kBlack = rgb(0, 0, 0);

constexpr FontSetting kLinkFont{.pixel_height = 12, .underline = true};

// clang-format off
const ControlLayout kControls[] = {
    {.id = Source::按钮4, .name = "按钮4", .kind = Kind::Button, .parent = Source::图片框3,
     .left = 456, .top = 432, .width = 88, .height = 24, .shown = true, .tab_stop = true,
     .text = "我已阅读完毕!"},
    {.id = Source::图片框3, .name = "图片框3", .kind = Kind::PicBox, .parent = Source::Main,
     .left = 712, .top = 0, .width = 560, .height = 528, .shown = true, .tab_stop = false,
     .back_colour = kSystemFace, .picture = Picture::Help},
    {.id = Source::时钟1, .name = "时钟1", .kind = Kind::Timer, .parent = Source::Main,
     .left = 560, .top = 360, .width = 16, .height = 16, .shown = false, .tab_stop = false,
     .period_ms = 300},
    {.id = Source::超级链接框3, .name = "超级链接框3", .kind = Kind::HyperLinker, .parent = Source::Main,
     .left = 232, .top = 502, .width = 176, .height = 16, .shown = true, .tab_stop = false,
     .text = "淘宝店铺:收费dj网站歌曲代下载", .back_colour = kBlack, .font = kLinkFont,
     .link = {.web_address = "http://shop.pellwick.example/",
              .normal = rgb(0, 0, 255), .visited = rgb(128, 0, 0), .hover = rgb(51, 153, 255)}},
    {.id = Source::超文本浏览框2, .name = "超文本浏览框2", .kind = Kind::HtmlViewer, .parent = Source::Main,
     .left = 488, .top = 264, .width = 48, .height = 32, .shown = false, .tab_stop = true},
    {.id = Source::图片框2, .name = "图片框2", .kind = Kind::PicBox, .parent = Source::Main,
     .left = 427, .top = 494, .width = 88, .height = 24, .shown = true, .tab_stop = false,
     .hand_cursor = true, .back_colour = kSystemFace, .picture = Picture::JoinGroup},
    {.id = Source::图片框1, .name = "图片框1", .kind = Kind::PicBox, .parent = Source::Main,
     .left = 427, .top = 467, .width = 88, .height = 24, .shown = true, .tab_stop = false,
     .hand_cursor = true, .back_colour = kSystemFace, .picture = Picture::QqOnline},
    {.id = Source::透明标签7, .name = "透明标签7", .kind = Kind::TransLabel, .parent = Source::Main,
     .left = 519, .top = 467, .width = 192, .height = 54, .shown = true, .tab_stop = false,
     .hand_cursor = true, .text = "软件不会用？？？\r\n请猛戳这里！！！", .text_colour = rgb(255, 0, 0),
     .font = {.pixel_height = 24, .italic = true}, .label = {.effect = 1, .wrap = true}},
    {.id = Source::透明标签5, .name = "透明标签5", .kind = Kind::TransLabel, .parent = Source::Main,
     .left = 377, .top = 440, .width = 32, .height = 24, .shown = true, .tab_stop = false,
     .text = "", .text_colour = rgb(255, 0, 255), .label = {.wrap = true}},
    {.id = Source::超级链接框1, .name = "超级链接框1", .kind = Kind::HyperLinker, .parent = Source::Main,
     .left = 240, .top = 475, .width = 156, .height = 24, .shown = true, .tab_stop = false,
     .text = "IDM免费下载Orrindale视频教程", .back_colour = kBlack, .font = kLinkFont,
     .link = {.web_address = "http://www.vidhall.example/programs/view/Qx7fK2mW9aB",
              .normal = rgb(255, 0, 0), .visited = rgb(0, 96, 192), .hover = rgb(128, 128, 255)}},
    {.id = Source::透明标签4, .name = "透明标签4", .kind = Kind::TransLabel, .parent = Source::Main,
     .left = 5, .top = 480, .width = 219, .height = 112, .shown = true, .tab_stop = false,
     .text = kTipText, .text_colour = rgb(0, 128, 0), .font = {.pixel_height = 12},
     .label = {.wrap = true}},
    {.id = Source::按钮3, .name = "按钮3", .kind = Kind::Button, .parent = Source::Main,
     .left = 640, .top = 357, .width = 64, .height = 24, .shown = true, .tab_stop = true,
     .text = "打开网址"},
    {.id = Source::超文本浏览框1, .name = "超文本浏览框1", .kind = Kind::HtmlViewer, .parent = Source::Main,
     .left = -6, .top = -104, .width = 717, .height = 448, .shown = true, .tab_stop = true},
    {.id = Source::编辑框1, .name = "编辑框1", .kind = Kind::EditBox, .parent = Source::Main,
     .left = 65, .top = 357, .width = 567, .height = 24, .shown = true, .tab_stop = true,
     .text = lookup::kSamplePageAddress.data(), .text_colour = rgb(128, 128, 255), .back_colour = kBlack},
    {.id = Source::透明标签3, .name = "透明标签3", .kind = Kind::TransLabel, .parent = Source::Main,
     .left = 4, .top = 357, .width = 50, .height = 24, .shown = true, .tab_stop = false,
     .text = "歌曲网址:", .text_colour = rgb(128, 128, 255)},
    {.id = Source::按钮2, .name = "按钮2", .kind = Kind::Button, .parent = Source::Main,
     .left = 640, .top = 437, .width = 64, .height = 24, .shown = true, .tab_stop = true,
     .text = "下载歌曲"},
    {.id = Source::透明标签2, .name = "透明标签2", .kind = Kind::TransLabel, .parent = Source::Main,
     .left = 4, .top = 437, .width = 50, .height = 24, .shown = true, .tab_stop = false,
     .text = "下载地址:", .text_colour = rgb(255, 255, 0)},
    {.id = Source::透明标签1, .name = "透明标签1", .kind = Kind::TransLabel, .parent = Source::Main,
     .left = 4, .top = 397, .width = 50, .height = 24, .shown = true, .tab_stop = false,
     .text = "歌曲名为:", .text_colour = rgb(255, 0, 0)},
    {.id = Source::编辑框2, .name = "编辑框2", .kind = Kind::EditBox, .parent = Source::Main,
     .left = 65, .top = 397, .width = 567, .height = 24, .shown = true, .tab_stop = true,
     .text = "旋律古乐搭配低音节奏", .text_colour = rgb(255, 0, 0), .back_colour = kBlack},
    {.id = Source::编辑框3, .name = "编辑框3", .kind = Kind::EditBox, .parent = Source::Main,
     .left = 65, .top = 437, .width = 567, .height = 24, .shown = true, .tab_stop = true,
     .text = "", .text_colour = rgb(255, 255, 0), .back_colour = kBlack, .read_only = true},
    {.id = Source::按钮1, .name = "按钮1", .kind = Kind::Button, .parent = Source::Main,
     .left = 640, .top = 397, .width = 64, .height = 24, .shown = true, .tab_stop = true,
     .text = "获取地址"},
};
// clang-format on

const MainWindowLayout kMainWindow{
    .title = "Wendmere By Pellwick QQ80417352",
    .width = 717,
    .height = 554,
    .background = kBlack,
};

}  // namespace

const MainWindowLayout& main_window_layout() { return kMainWindow; }

std::span<const ControlLayout> controls() { return kControls; }

bool layout_is_sound() {
    std::set<Source> seen;
    for (const ControlLayout& c : kControls) {
        if (c.id == Source::Main || !seen.insert(c.id).second) return false;
        if (c.width < 0 || c.height < 0) return false;
    }
    if (static_cast<int>(seen.size()) != kControlCount) return false;
    for (const ControlLayout& c : kControls)
        if (c.parent != Source::Main && !seen.count(c.parent)) return false;
    return true;
}

}  // namespace wm::ui
