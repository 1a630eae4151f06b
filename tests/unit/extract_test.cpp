#include "lookup/extract.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "lookup/text.h"

namespace wm::lookup {
namespace {

using namespace std::string_literals;
using Pieces = std::vector<std::string>;

const std::string kPage = "var rurl=\"";
const std::string kEnd = ".wma\";var zurl=\"x\";";

std::string address_ending(const std::string& tail) { return std::string(kFileServerPrefix) + tail; }

TEST(MediaPieces, WorkedExample) {
    // Page marker at byte 101, media path 12/abcd, end marker at byte 118.
    const std::string page = std::string(100, '-') + kPage + "12/abcd" + kEnd + "<p>rest</p>";
    ASSERT_EQ(text::find(page, kPageMarker, 1, true), 101);
    ASSERT_EQ(text::find(page, kEndMarker), 118);

    const Pieces pieces = media_pieces(page);
    EXPECT_EQ(pieces, (Pieces{"12", "abcd"}));
    EXPECT_EQ(download_address(pieces), address_ending("12/abcd.ik"));
}

TEST(MediaPieces, MarkersAndMediaPaths) {
    struct Case {
        const char* what;
        std::string page;
        Pieces pieces;
        std::optional<std::string> address;
    };
    const Case cases[] = {
        {"page marker in capitals", "<script>VAR RURL=\"a/b" + kEnd, {"a", "b"}, address_ending("a/b.ik")},
        {"page marker in mixed case", "Var rUrl=\"a/b" + kEnd, {"a", "b"}, address_ending("a/b.ik")},
        {"end marker in capitals", kPage + "a/b.WMA\";VAR ZURL", {}, std::nullopt},
        {"end marker absent", "xx" + kPage + "a/b.mp3", {}, std::nullopt},
        {"both markers absent", "<html>a/b</html>", {}, std::nullopt},
        {"empty page", "", {}, std::nullopt},
        // Without the page marker the path runs from byte 9 to the end marker.
        {"page marker absent", "12345678a/b/c" + kEnd, {"a", "b", "c"}, address_ending("a/b.ik")},
        {"page marker absent, end marker at 9", "12345678" + kEnd, {}, std::nullopt},
        {"page marker absent, end marker before 9", "1234567" + kEnd, {}, std::nullopt},
        {"end marker before page marker", kEnd + kPage + "a/b", {}, std::nullopt},
        {"end marker right after page marker", kPage + kEnd, {}, std::nullopt},
        {"three pieces", kPage + "a/b/c" + kEnd, {"a", "b", "c"}, address_ending("a/b.ik")},
        {"leading slash", kPage + "/b" + kEnd, {"", "b"}, address_ending("/b.ik")},
        {"double slash", kPage + "a//b" + kEnd, {"a", "", "b"}, address_ending("a/.ik")},
        {"trailing slash", kPage + "a/b/" + kEnd, {"a", "b"}, address_ending("a/b.ik")},
        {"one piece", kPage + "ab" + kEnd, {"ab"}, std::nullopt},
        {"one piece and a trailing slash", kPage + "ab/" + kEnd, {"ab"}, std::nullopt},
        {"zero byte before the markers", "<p>\0</p>"s + kPage + "a/b" + kEnd, {}, std::nullopt},
        {"zero byte inside the media path", kPage + "a/b\0"s + kEnd, {}, std::nullopt},
        {"two-byte text before the marker",
         "\xB0\xA1\xC4\xE3" + kPage + "a/b" + kEnd,
         {"a", "b"},
         address_ending("a/b.ik")},
        // The v of the marker is the second byte of B0 v, so the page marker is
        // missed and the path runs from byte 9 (the l of rurl).
        {"marker behind a lone lead byte", "\xB0" + kPage + "a/b" + kEnd, {"l=\"a", "b"}, address_ending("l=\"a/b.ik")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Pieces pieces = media_pieces(c.page);
        EXPECT_EQ(pieces, c.pieces);
        EXPECT_EQ(download_address(pieces), c.address);
    }
}

TEST(MediaPieces, FirstOccurrenceOfEachMarkerWins) {
    const std::string page = kPage + "a/b" + kEnd + kPage + "c/d" + kEnd;
    EXPECT_EQ(media_pieces(page), (Pieces{"a", "b"}));
}

TEST(DownloadAddress, NeedsTwoPieces) {
    EXPECT_EQ(download_address({}), std::nullopt);
    EXPECT_EQ(download_address({"only"}), std::nullopt);
    EXPECT_EQ(download_address({"", ""}), address_ending("/.ik"));
    EXPECT_EQ(download_address({"12", "abcd"}),
              "http://media.orrindale.example/Dj_www.orrindale.example/2010/12/abcd.ik");
}

}  // namespace
}  // namespace wm::lookup
