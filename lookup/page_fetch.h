// The page fetch: one HTTP GET through WinINet, returning the response body.
// Windows only.
#pragma once

#include <string>
#include <string_view>

namespace wm::lookup {

// Sends one "GET ... HTTP/1.0" for `address` (never from or into the cache,
// fragment not sent) and returns every body byte received, whatever the
// response status. Nothing is reported on failure: the result is then the
// bytes received so far, possibly none. An empty address returns at once
// without touching the network. Blocks the calling thread until the body has
// ended or the transfer has failed; meant for one thread at a time. Throws
// nothing but std::bad_alloc.
std::string page_fetch(std::string_view address);

// Closes the process-wide internet handle that the first fetch opened. Called
// once at shutdown; a fetch after it opens a new handle.
void close_page_fetch_root();

}  // namespace wm::lookup
