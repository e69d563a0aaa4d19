#include "installation.h"

#include <dlfcn.h>

#include <charconv>

#include "windows.h"

namespace flash {
namespace {

constexpr uint32_t kDefaultVersion = (11u << 16) | 2u;
constexpr char kSection[] = "Flash";

std::string ConfigValue(const std::string& folder, const char* key) {
    std::string path = folder + "/Conf/default/config.ini";
    char value[MAX_PATH] = "";
    GetPrivateProfileStringA(kSection, key, "", value, sizeof value, path.c_str());
    return value;
}

bool ReadPart(const char* first, const char* last, uint32_t* value) {
    auto [end, ec] = std::from_chars(first, last, *value);
    return ec == std::errc() && end == last && first != last && *value <= 0xFFFF;
}

}  // namespace

// The library's own file, found from an address inside it: a process may hold two copies of
// the library, each of its own installation.
std::string InstallFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&InstallFolder), &info) == 0 || info.dli_fname == nullptr)
        return ".";
    std::string file = info.dli_fname;
    size_t cut = file.find_last_of('/');
    return cut == std::string::npos ? std::string(".") : file.substr(0, cut);
}

uint32_t ConfiguredVersion(const std::string& folder) {
    std::string text = ConfigValue(folder, "Version");
    size_t dot = text.find('.');
    uint32_t major = 0, minor = 0;
    if (dot == std::string::npos || !ReadPart(text.data(), text.data() + dot, &major) ||
        !ReadPart(text.data() + dot + 1, text.data() + text.size(), &minor))
        return kDefaultVersion;
    return (major << 16) | minor;
}

std::string ConfiguredTranscript(const std::string& folder) {
    std::string path = ConfigValue(folder, "Transcript");
    if (path.empty() || path[0] == '/')
        return path;
    return folder + "/" + path;
}

}  // namespace flash
