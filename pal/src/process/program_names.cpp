#include "process/program_names.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdlib>

namespace pal {
namespace {

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) {
        return name;
    }
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Program candidates for one file name: "X.exe" gives X.exe, then X; other names only themselves.
std::vector<std::string> ProgramCandidates(const std::string& name) {
    std::vector<std::string> names{name};
    if (EndsWithNoCase(name, ".exe") && name.size() > 4) {
        names.push_back(name.substr(0, name.size() - 4));
    }
    return names;
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

std::string FileNamePart(std::string_view path) {
    size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FolderPart(std::string_view path) {
    size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return std::string();
    }
    return slash == 0 ? std::string("/") : std::string(path.substr(0, slash));
}

std::string ReportedProgramName(std::string_view fileName) {
    std::string name(fileName);
    if (!EndsWithNoCase(name, ".exe")) {
        name += ".exe";
    }
    return name;
}

std::string LibraryFileName(std::string_view name) {
    std::string file = FileNamePart(name);
    std::string folder = FolderPart(name);
    std::string stem;
    if (EndsWithNoCase(file, ".dll") && file.size() > 4) {
        stem = file.substr(0, file.size() - 4);
    } else if (file.find('.') == std::string::npos) {
        stem = file;
    } else if (file.back() == '.') {  // "X." names X without an extension
        stem = file.substr(0, file.size() - 1);
    } else {
        return std::string(name);
    }
    std::string mapped = "lib" + stem + ".so";
    return folder.empty() ? mapped : JoinPath(folder, mapped);
}

std::string FindFileInFolder(const std::string& folder, const std::string& name) {
    std::string exact = JoinPath(folder, name);
    if (IsRegularFile(exact)) {
        return exact;
    }
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) {
        return std::string();
    }
    std::string found;
    while (dirent* entry = readdir(dir)) {
        if (EqualsNoCase(entry->d_name, name) && IsRegularFile(JoinPath(folder, entry->d_name))) {
            found = JoinPath(folder, entry->d_name);
            break;
        }
    }
    closedir(dir);
    return found;
}

std::string FindProgramFile(const std::string& path) {
    std::string folder = FolderPart(path);
    for (const std::string& name : ProgramCandidates(FileNamePart(path))) {
        std::string found = FindFileInFolder(folder, name);
        if (!found.empty()) {
            return found;
        }
    }
    return std::string();
}

std::string SearchProgramFile(const std::string& name, const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        if (folder.empty()) {
            continue;
        }
        std::string found = FindProgramFile(JoinPath(folder, name));
        if (!found.empty()) {
            return found;
        }
    }
    return std::string();
}

std::string CanonicalPath(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

std::string ProgramExecutablePath() {
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) {
        return std::string();
    }
    std::string path(buffer, static_cast<size_t>(n));
    const std::string deleted = " (deleted)";
    if (path.size() > deleted.size() && path.ends_with(deleted)) {
        path.resize(path.size() - deleted.size());
    }
    return path;
}

std::string ProgramFolder() {
    return FolderPart(ProgramExecutablePath());
}

}  // namespace pal
