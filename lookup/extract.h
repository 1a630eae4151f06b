// The pure part of the download address lookup: cutting the media path out of
// a fetched song page and composing the download address from its pieces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wm::lookup {

// The media path stands between these two markers in the page's script text.
// The page marker is searched ignoring ASCII case, the end marker exactly.
inline constexpr std::string_view kPageMarker = "var rurl=\"";
inline constexpr std::string_view kEndMarker = ".wma\";var zurl";
// Distance from the page marker's position to the media path.
inline constexpr int32_t kMarkerOffset = 10;
inline constexpr std::string_view kPieceSeparator = "/";
inline constexpr std::string_view kAddressSuffix = ".ik";

inline constexpr std::string_view kWebHost = "www.orrindale.example";
inline constexpr std::string_view kSiteWord = "orrindale";
inline constexpr std::string_view kMediaHost = "media.orrindale.example";
inline constexpr std::string_view kFileServerPrefix = "http://media.orrindale.example/Dj_www.orrindale.example/2010/";
inline constexpr std::string_view kSamplePageAddress = "http://www.orrindale.example/mp3-dj/orrindale_9813.html";

// Cuts the media path out of the page bytes and splits it at "/". No pieces
// when the markers are missing or out of order.
std::vector<std::string> media_pieces(std::string_view page_bytes);

// prefix + piece 1 + "/" + piece 2 + ".ik"; nothing when there are fewer than
// two pieces. Pieces after the second are not used.
std::optional<std::string> download_address(const std::vector<std::string>& pieces);

}  // namespace wm::lookup
