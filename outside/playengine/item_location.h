// Where an item lies: the engine plays local files only, named by a plain path or by a file
// address.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A plain path is returned as it is. A "file:" address (scheme in any letter case) with an empty
// host or the host "localhost" gives its path with the %XX escapes decoded. Anything else gives
// nothing: an empty text, an address of another scheme or another host, a malformed escape, or
// an escape for the NUL character.
std::optional<std::string> LocationToPath(std::string_view location);
