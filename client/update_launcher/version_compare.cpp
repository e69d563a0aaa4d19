#include "version_compare.h"

#include <vector>

namespace {

// The parts of a version without their leading zeros ("007" is "7", "0" is "").
std::vector<std::string> Parts(const std::string& version) {
    std::vector<std::string> parts(1);
    for (char c : version) {
        if (c == '.') {
            parts.emplace_back();
        } else if (c != '0' || !parts.back().empty()) {
            parts.back() += c;
        }
    }
    return parts;
}

// Two numbers written without leading zeros: the longer is greater, else the text decides.
int CompareNumbers(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

}  // namespace

int CompareVersions(const std::string& a, const std::string& b) {
    std::vector<std::string> left = Parts(a);
    std::vector<std::string> right = Parts(b);
    size_t count = left.size() > right.size() ? left.size() : right.size();
    left.resize(count);  // a missing part is 0, written as ""
    right.resize(count);
    for (size_t i = 0; i < count; ++i) {
        if (int order = CompareNumbers(left[i], right[i])) {
            return order;
        }
    }
    return 0;
}
