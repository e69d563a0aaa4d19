// Where an item lies: a local file, named by a plain path or by a file address, or a stream
// named by an http or https address.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A plain path is returned as it is. A "file:" address (scheme in any letter case) with an empty
// host or the host "localhost" gives its path with the %XX escapes decoded. Anything else gives
// nothing: an empty text, an address of another scheme or another host, a malformed escape, or
// an escape for the NUL character.
std::optional<std::string> LocationToPath(std::string_view location);

// True for an "http://" or "https://" address (scheme in any letter case) with a host.
bool IsStreamAddress(std::string_view location);
