#include "actions/address_lookup.h"

#include "lookup/extract.h"
#include "lookup/page_fetch.h"
#include "lookup/text.h"
#include "ui/notice.h"

namespace wm::actions {

using ui::Source;

void address_lookup(ui::MainWindow& window) {
    // The page is fetched and cut up before the boxes are tested, so an empty
    // title still costs one request.
    std::vector<std::string> pieces;
    {
        std::string page = lookup::page_fetch(window.text(Source::编辑框1));
        pieces = lookup::media_pieces(page);
    }
    if (text::is_empty(window.text(Source::编辑框1))) {
        ui::notice_box(kNoPageAddress);
        return;
    }
    if (text::is_empty(window.text(Source::编辑框2))) {
        ui::notice_box(kNoSongTitle);
        return;
    }
    std::optional<std::string> address = lookup::download_address(pieces);
    if (!address) {
        // Leaving 编辑框3 alone without a word would pass off the previous
        // song's address as this one's.
        ui::notice_box(kNoDownloadAddress);
        return;
    }
    window.set_text(Source::编辑框3, *address);
}

}  // namespace wm::actions
