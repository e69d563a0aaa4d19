// The one place where Windows program and library names meet Linux file names:
// - a program name "X.exe" denotes the file X.exe when there is one, else the file X;
// - a library name "X.dll" (any case of the extension), or "X" without an extension, denotes
//   libX.so; a name with another extension ("libm.so.6") is taken as it is;
// - an executable file X reports the name "X.exe" (a name that ends in ".exe" stays as it is);
// - a file is looked for under its exact name first, then, as Windows file names ignore case,
//   under a name of the same folder that differs only in letter case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pal {

bool EqualsNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// The part after the last '/', and the part before it ("" when there is none).
std::string FileNamePart(std::string_view path);
std::string FolderPart(std::string_view path);

// The name reported for an executable file name: "BRDJ" -> "BRDJ.exe".
std::string ReportedProgramName(std::string_view fileName);
// The library file name for a library name: "PlayEngine.dll" -> "libPlayEngine.so".
std::string LibraryFileName(std::string_view name);

// The existing regular file that a name in a folder denotes (exact name, then by case), or "".
std::string FindFileInFolder(const std::string& folder, const std::string& name);
// The existing file a program path denotes under the rule ("dir/X.exe" -> "dir/X.exe" or
// "dir/X"), or "". A relative path is taken from the current folder.
std::string FindProgramFile(const std::string& path);
// As FindProgramFile for a bare name, in each folder in turn.
std::string SearchProgramFile(const std::string& name, const std::vector<std::string>& folders);

// The path with its symbolic links resolved, or the path itself when that fails.
std::string CanonicalPath(const std::string& path);

// The folder of the running program (from /proc/self/exe), without a trailing '/'.
std::string ProgramFolder();
// The running program's executable path, without the " (deleted)" mark of a replaced file.
std::string ProgramExecutablePath();

}  // namespace pal
