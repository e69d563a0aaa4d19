// Where the engine keeps its files: the cache folder, one file per Sign, and the names of the
// temporary files that downloads are written to before they are renamed into place.
#pragma once

#include <cstdint>
#include <string>

#include "sign.h"

namespace swarmget {

// The cache folder: `configured` when it is not empty (StartBRMV's first text), else
// $SWARMGET_CACHE_DIR when set and not empty, else "swarmget" under the runtime root. Without a
// trailing separator; empty when none can be determined.
std::string ResolveCacheDir(const std::string& configured);

// "<dir>/<first>_<second>.dat", the values as unsigned decimals.
std::string FinalPath(const std::string& dir, const Sign& sign);
// "<dir>/<first>_<second>.<pid>-<serial>.part": unique per transfer, so a new transfer of a sign
// never shares its file with a stopped one that is still winding down.
std::string PartPath(const std::string& dir, const Sign& sign, uint64_t serial);

// Creates the folder and its missing parents (mode 0700); true when it exists afterwards.
bool MakeDirs(const std::string& dir);
// Removes the temporary files ("*.part") that a run killed mid-download left in the folder;
// those of a process that still runs (this one included) stay.
void RemovePartials(const std::string& dir);

}  // namespace swarmget
