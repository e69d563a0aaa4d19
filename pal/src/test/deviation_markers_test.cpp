// Every function, type or macro that pal/DEVIATIONS.md names carries the note "Differs from
// Windows:" in the comment right above its definition, so a reader of the code meets the
// deviation where it is made.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const char kMarker[] = "Differs from Windows:";

std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The names in backticks in the first column of the tables.
std::set<std::string> NamesInTables(const fs::path& deviations) {
    static const std::regex name("`([A-Za-z_][A-Za-z0-9_]*)`");
    std::set<std::string> names;
    for (const std::string& line : ReadLines(deviations)) {
        if (line.rfind("| `", 0) != 0) continue;
        std::string first = line.substr(1, line.find('|', 1) - 1);
        for (std::sregex_iterator it(first.begin(), first.end(), name), end; it != end; ++it)
            names.insert((*it)[1]);
    }
    return names;
}

struct Source {
    fs::path path;
    std::vector<std::string> lines;
};

// The layer's product sources and public headers; tests are not definitions.
std::vector<Source> LayerSources(const fs::path& pal) {
    std::vector<Source> sources;
    for (const char* top : {"src", "include"}) {
        for (const auto& entry : fs::recursive_directory_iterator(pal / top)) {
            const fs::path& p = entry.path();
            if (!entry.is_regular_file() || (p.extension() != ".cpp" && p.extension() != ".h"))
                continue;
            if (p.string().find("/test/") != std::string::npos) continue;
            sources.push_back({p, ReadLines(p)});
        }
    }
    return sources;
}

bool IsDefinitionOf(const std::string& line, const std::string& name) {
    if (line.empty() || line[0] == ' ' || line[0] == '/' || line.back() == ';') return false;
    if (line.find(name) == std::string::npos) return false;
    const std::regex function("^[A-Za-z_].*[ *&]" + name + "\\(");
    const std::regex macro("^#define " + name + "\\b");
    const std::regex type("^(typedef )?struct (alignas\\(\\d+\\) )?(tag|_)?" + name + "\\b.*\\{");
    return std::regex_search(line, function) || std::regex_search(line, macro) ||
           std::regex_search(line, type);
}

bool CommentAboveHasMarker(const std::vector<std::string>& lines, size_t definition) {
    for (size_t i = definition; i-- > 0;) {
        if (lines[i].rfind("//", 0) != 0) return false;
        if (lines[i].find(kMarker) != std::string::npos) return true;
    }
    return false;
}

TEST(DeviationMarkers, EveryNamedDefinitionSaysHowItDiffers) {
    const fs::path pal = fs::path(BR_SOURCE_DIR) / "pal";
    const std::set<std::string> names = NamesInTables(pal / "DEVIATIONS.md");
    ASSERT_FALSE(names.empty());
    const std::vector<Source> sources = LayerSources(pal);
    for (const std::string& name : names) {
        bool defined = false;
        for (const Source& source : sources) {
            for (size_t i = 0; i < source.lines.size() && !defined; ++i) {
                if (!IsDefinitionOf(source.lines[i], name)) continue;
                defined = true;
                EXPECT_TRUE(CommentAboveHasMarker(source.lines, i))
                    << name << " (" << source.path.string() << ":" << i + 1
                    << ") has no \"" << kMarker << "\" note above it";
            }
            if (defined) break;
        }
        EXPECT_TRUE(defined) << name << " is named in DEVIATIONS.md but defined nowhere";
    }
}

}  // namespace
