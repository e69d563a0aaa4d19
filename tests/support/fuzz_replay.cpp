// Runs a fuzz target over the files of its corpus, for builds without libFuzzer: each file is
// fed once to LLVMFuzzerTestOneInput, and a crash or sanitizer report fails the run.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

int RunFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return 1;
}

int RunPath(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
        std::fprintf(stderr, "fuzz replay: %s is missing\n", path.c_str());
        return -1;
    }
    if (!S_ISDIR(st.st_mode)) {
        return RunFile(path);
    }
    int count = 0;
    DIR* dir = opendir(path.c_str());
    while (dirent* entry = dir ? readdir(dir) : nullptr) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") {
            int n = RunPath(path + "/" + name);
            if (n < 0) {
                count = -1;
                break;
            }
            count += n;
        }
    }
    if (dir) {
        closedir(dir);
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    int total = 0;
    for (int i = 1; i < argc; ++i) {
        int n = RunPath(argv[i]);
        if (n < 0) {
            return 1;
        }
        total += n;
    }
    LLVMFuzzerTestOneInput(nullptr, 0);
    std::printf("fuzz replay: %d inputs, no failure\n", total);
    return 0;
}
