#include "process/program_start.h"

#include <sys/stat.h>

#include <cstdlib>

#include "process/program_names.h"

namespace pal {
namespace {

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.empty() ? "." : path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> SearchFolders(const std::string& firstFolder) {
    std::vector<std::string> folders;
    if (!firstFolder.empty()) {
        folders.push_back(firstFolder);
    }
    folders.push_back(ProgramFolder());
    folders.push_back(".");
    const char* path = std::getenv("PATH");
    std::string list = path ? path : "";
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        folders.push_back(end == start ? "." : list.substr(start, end - start));
        start = end + 1;
    }
    return folders;
}

}  // namespace

DWORD FindProgram(const std::string& name, ProgramSearch search, std::string& file,
                  const std::string& firstFolder) {
    file.clear();
    if (name.empty()) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (search == ProgramSearch::kPath && name.find('/') == std::string::npos) {
        file = SearchProgramFile(name, SearchFolders(firstFolder));
    } else {
        file = FindProgramFile(name);
    }
    if (!file.empty()) {
        return ERROR_SUCCESS;
    }
    return IsFolder(FolderPart(name)) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

DWORD StartProgram(const std::string& name, ProgramSearch search, SpawnRequest request,
                   std::shared_ptr<Child>& child, const std::string& firstFolder) {
    DWORD error = FindProgram(name, search, request.file, firstFolder);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    SpawnResult result = SpawnProgram(request);
    child = result.child;
    return result.error;
}

}  // namespace pal
