// The INI file on disk: where a profile file name lives, reading it whole, and replacing it
// safely.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "windows.h"

namespace pal::ini {

// The path of a profile file name: a name without a separator lives in the Windows directory
// ($PAL_WINDOWS_DIR, else "windows" under the runtime root), NULL is "win.ini" there. With
// create, a missing Windows directory is made. Sets the last error and gives nullopt when the
// name is refused or the directory is unavailable.
std::optional<std::string> ResolveProfilePath(LPCSTR fileName, bool create);

// The whole file, or nullopt (with the last error set) when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file's text by edit(old text), under a lock that writers of the same folder
// share. The new text goes to a new file beside the old one, is flushed to disk and renamed over
// it, with the old file's permissions. edit gets nullopt for a missing file; when create is false
// a missing file is left missing. Returns false with the last error set on failure, and the old
// file is then as it was.
bool ReplaceFile(const std::string& path, bool create,
                 const std::function<std::string(const std::optional<std::string>&)>& edit);

}  // namespace pal::ini
