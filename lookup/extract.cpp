#include "lookup/extract.h"

#include "lookup/text.h"

namespace wm::lookup {
namespace {

constexpr bool prefix_is_composed_of_hosts() {
    constexpr std::string_view scheme = "http://";
    constexpr std::string_view dj = "/Dj_";
    constexpr std::string_view year = "/2010/";
    std::string_view rest = kFileServerPrefix;
    for (std::string_view part : {scheme, kMediaHost, dj, kWebHost, year}) {
        if (rest.substr(0, part.size()) != part) return false;
        rest.remove_prefix(part.size());
    }
    return rest.empty();
}
static_assert(prefix_is_composed_of_hosts());
static_assert(kMarkerOffset == kPageMarker.size());

// The middle operation takes the low 32 bits of the truncated value. The
// conversion is modular in C++20, so an out-of-range start wraps instead of
// being undefined (only pages over 2 GiB get there).
int32_t low_32_bits(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

}  // namespace

std::vector<std::string> media_pieces(std::string_view page_bytes) {
    const std::string page = text::bytes_to_text(page_bytes);
    // Both searches start at the top of the page: an end marker before the page
    // marker makes the length negative and the media path empty.
    const int32_t a = text::find(page, kPageMarker, 1, true);
    const int32_t b = text::find(page, kEndMarker, 1, false);
    // Worked in double precision and truncated, as the lookup has always done;
    // -1 for a missing marker enters the arithmetic like any other position.
    const int64_t start = text::truncate(a + static_cast<double>(kMarkerOffset));
    const int64_t length = text::truncate((static_cast<double>(b) - a) - static_cast<double>(kMarkerOffset));
    const std::string media_path = text::middle(page, low_32_bits(start), low_32_bits(length));
    return text::split(media_path, kPieceSeparator);
}

std::optional<std::string> download_address(const std::vector<std::string>& pieces) {
    if (text::element_count(pieces) < 2) return std::nullopt;
    return text::join({kFileServerPrefix, pieces[0], kPieceSeparator, pieces[1], kAddressSuffix});
}

}  // namespace wm::lookup
