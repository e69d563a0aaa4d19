// The part files of the downloads still running, so that a process which ends in the middle of
// a download leaves none of them behind.
#pragma once

#include <string>

namespace httpmgr {

// A download's part file exists from Add until Forget; the download forgets it once it has
// renamed it into place or removed it.
void AddPartFile(const std::string& path);
void ForgetPartFile(const std::string& path);

// Removes the part files of the downloads still running when the process exits (registered once
// with atexit). A download thread that is still writing keeps an open file without a name and
// cannot rename it into place any more: it fails, and nothing half is left.
void RemovePartFilesAtExit();

}  // namespace httpmgr
