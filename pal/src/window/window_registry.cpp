#include "window/window_registry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file/file_error.h"
#include "process/process_identity.h"
#include "window/window_handle.h"

namespace pal {
namespace {

std::string EntryFolder(const std::string& root) {
    return root + "/hwnd";
}

bool ReadSmallFile(const std::string& path, std::string* content) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    content->clear();
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
        if (got > 0) {
            content->append(buffer, static_cast<size_t>(got));
        }
        if (content->size() > (1u << 20)) {
            break;  // no record is that long
        }
    }
    close(fd);
    return got == 0;
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t written = 0;
    while (written < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<size_t>(n);
    }
    return true;
}

// A record is live when its process runs; the record of an ended process goes, with its inbox.
bool KeepIfLive(const std::string& root, const std::string& name, const WindowEntry& entry) {
    if (ProcessRuns(entry.pid, entry.processStart)) {
        return true;
    }
    unlink((EntryFolder(root) + "/" + name).c_str());
    unlink((InboxFolder(root) + "/" + InboxName(entry.pid, entry.processStart)).c_str());
    return false;
}

}  // namespace

std::string InboxFolder(const std::string& root) {
    return root + "/post";
}

std::string InboxName(pid_t pid, unsigned long long processStart) {
    return std::to_string(pid) + "-" + std::to_string(processStart);
}

DWORD WriteWindowEntry(const std::string& root, const WindowEntry& entry) {
    std::string folder = EntryFolder(root);
    if (!PalPrivateFolder(folder)) {
        return fs::ErrorFromErrno(errno);
    }
    std::string name = WindowEntryName(entry.hwnd);
    std::string temp = folder + "/." + name + ".new";
    unlink(temp.c_str());  // left by an earlier run of this process's id, or planted
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return fs::ErrorFromErrno(errno);
    }
    bool written = WriteAll(fd, EncodeWindowEntry(entry));
    int error = errno;
    if (close(fd) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written || rename(temp.c_str(), (folder + "/" + name).c_str()) != 0) {
        error = written ? errno : error;
        unlink(temp.c_str());
        return fs::ErrorFromErrno(error);
    }
    return ERROR_SUCCESS;
}

void RemoveWindowEntry(const std::string& root, uint64_t hwnd) {
    unlink((EntryFolder(root) + "/" + WindowEntryName(hwnd)).c_str());
}

std::vector<WindowEntry> LiveWindowEntries(const std::string& root) {
    std::vector<WindowEntry> live;
    std::string folder = EntryFolder(root);
    DIR* dir = opendir(folder.c_str());
    if (!dir) {
        return live;
    }
    while (dirent* item = readdir(dir)) {
        std::string name = item->d_name;
        if (name.size() != 16 || name[0] == '.') {
            continue;  // ".", "..", a record being written
        }
        std::string bytes;
        if (!ReadSmallFile(folder + "/" + name, &bytes)) {
            continue;  // removed meanwhile
        }
        auto entry = DecodeWindowEntry(bytes);
        if (entry && WindowEntryName(entry->hwnd) == name && KeepIfLive(root, name, *entry)) {
            live.push_back(std::move(*entry));
        }
    }
    closedir(dir);
    return live;
}

std::optional<WindowEntry> LiveWindowEntry(const std::string& root, uint64_t hwnd) {
    std::string name = WindowEntryName(hwnd);
    std::string bytes;
    if (!ReadSmallFile(EntryFolder(root) + "/" + name, &bytes)) {
        return std::nullopt;
    }
    auto entry = DecodeWindowEntry(bytes);
    if (!entry || entry->hwnd != hwnd || !KeepIfLive(root, name, *entry)) {
        return std::nullopt;
    }
    return entry;
}

std::optional<WindowEntry> FindForeignWindow(HWND hwnd) {
    pid_t pid = ProcessOfWindow(hwnd);
    if (pid == 0 || pid == getpid()) {
        return std::nullopt;
    }
    std::string root = PalRuntimeDir();
    if (root.empty()) {
        return std::nullopt;
    }
    auto entry = LiveWindowEntry(root, WindowValue(hwnd));
    if (entry && entry->pid != pid) {
        return std::nullopt;  // a record that is not the handle's own
    }
    return entry;
}

}  // namespace pal
