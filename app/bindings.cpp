#include "app/bindings.h"

#include "actions/address_lookup.h"
#include "actions/page_view.h"
#include "lookup/page_fetch.h"
#include "ui/events.h"

namespace wm::app {
namespace {

using ui::EventArgs;
using ui::Source;
using ui::Verdict;

// Runs once, after the window and its controls exist and before the window
// is shown: the page view starts loading the song page, then the lookup runs
// on the boxes' first texts.
void creation_sequence(ui::MainWindow& window) {
    actions::open_song_page(window);
    actions::address_lookup(window);
}

// Runs once while the main window is being destroyed.
void closing_step() {}

// A handler that takes no arguments and gives no verdict.
template <typename F>
ui::Handler plain(F f) {
    return [f](const EventArgs&) -> Verdict {
        f();
        return std::nullopt;
    };
}

}  // namespace

void bind_handlers(ui::MainWindow& window) {
    ui::MainWindow* w = &window;
    ui::bind_event(Source::Main, ui::event::kCreated, plain([w] { creation_sequence(*w); }));
    ui::bind_event(Source::Main, ui::event::kWillBeDestroyed, plain([] { closing_step(); }));
    ui::bind_event(Source::按钮1, ui::event::kClicked, plain([w] { actions::address_lookup(*w); }));
    ui::bind_event(Source::按钮2, ui::event::kClicked, plain([w] { actions::download_handoff(*w); }));
    ui::bind_event(Source::按钮3, ui::event::kClicked, plain([w] { actions::open_song_page(*w); }));
    // Every navigation of the page view goes ahead.
    ui::bind_event(Source::超文本浏览框1, ui::event::kAboutToNavigate, plain([] {}));
}

void release_components() { lookup::close_page_fetch_root(); }

}  // namespace wm::app
