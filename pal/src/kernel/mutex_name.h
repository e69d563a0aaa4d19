// How a mutex name becomes a file under the runtime root's mutex folder.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pal {

// The length Windows counts for an object name: a GBK lead byte and the byte after it are one
// character.
size_t ObjectNameLength(std::string_view name);

// The path, relative to the mutex folder, of the file that stands for a name. Each byte outside
// [A-Za-z0-9_-] is written as %XX (so no name gives ".", "..", a '/' or a file starting with
// '.'), and the text is cut into folder levels of at most kMutexLevelLength characters, each
// folder ending in '+' so that a file and a folder never collide. Distinct names give distinct
// paths.
inline constexpr size_t kMutexLevelLength = 200;
std::string MutexFileFor(std::string_view name);

}  // namespace pal
