#include "item_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr size_t kRiffHeader = 12;

FileIdentity IdentityOf(const struct stat& st) {
    return FileIdentity{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

}  // namespace

std::optional<FileIdentity> CheckLocalFile(const std::string& path) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    // O_NONBLOCK: should the path have become a pipe since the stat, the open does not wait.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    close(fd);
    if (!regular) {
        return std::nullopt;
    }
    return IdentityOf(st);
}

WavGate CheckWavHeader(const std::string& path, WavInfo* info) {
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return WavGate::NotWav;  // the pipeline reports the file as unreadable
    }
    char head[kRiffHeader] = {};
    ssize_t got = pread(fd, head, sizeof head, 0);
    close(fd);
    if (got != static_cast<ssize_t>(sizeof head) || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0) {
        // A RIFF file cut inside its first twelve bytes is still a WAV file with a bad header.
        bool cutRiff = got >= 4 && std::memcmp(head, "RIFF", 4) == 0 && got < 12;
        return cutRiff ? WavGate::Bad : WavGate::NotWav;
    }
    WavResult wav = ReadWavFile(path);
    if (wav.status == WavStatus::BadFormat) {
        return WavGate::Bad;
    }
    if (wav.status != WavStatus::Ok) {
        return WavGate::NotWav;  // gone meanwhile: the pipeline reports it as unreadable
    }
    if (info) {
        *info = wav.info;
    }
    return WavGate::Ok;
}
