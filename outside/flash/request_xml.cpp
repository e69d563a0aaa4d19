#include "request_xml.h"

namespace flash {
namespace {

const char kOpen[] = "<invoke name=\"";
const char kClose[] = "</invoke>";

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}
bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() &&
           s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

std::string CheckRequestXml(const std::string& request) {
    if (!StartsWith(request, kOpen))
        return "a call must start with <invoke name=\"";
    size_t nameEnd = request.find('"', sizeof kOpen - 1);
    if (nameEnd == std::string::npos || nameEnd == sizeof kOpen - 1)
        return "the call's name is missing";
    std::string afterName = request.substr(nameEnd + 1);
    if (!StartsWith(afterName, " returntype=\"xml\">"))
        return "the call needs returntype=\"xml\"";
    std::string body = afterName.substr(sizeof " returntype=\"xml\">" - 1);
    if (!EndsWith(body, kClose))
        return "the call must end with </invoke>";
    body.resize(body.size() - (sizeof kClose - 1));
    if (body != "<arguments />" && body != "<arguments/>" &&
        !(StartsWith(body, "<arguments>") && EndsWith(body, "</arguments>")))
        return "the call needs one <arguments> element";
    return "";
}

std::string RequestName(const std::string& request) {
    size_t start = sizeof kOpen - 1;
    return request.substr(start, request.find('"', start) - start);
}

}  // namespace flash
