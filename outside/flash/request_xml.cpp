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

std::string ReplyText(const std::string& whole) {
    // The blanks and line ends around a reply (number replies end in CR LF) are no part of it.
    const size_t first = whole.find_first_not_of(" \t\r\n");
    const std::string reply =
        first == std::string::npos
            ? std::string()
            : whole.substr(first, whole.find_last_not_of(" \t\r\n") - first + 1);
    if (reply.size() < 3 || reply[0] != '<' || reply.find('<', 1) == std::string::npos) {
        if (reply.size() >= 3 && reply[0] == '<' && EndsWith(reply, "/>")) {
            std::string name = reply.substr(1, reply.size() - 3);
            while (!name.empty() && name.back() == ' ') name.pop_back();
            if (!name.empty() && name.find_first_of("<> ") == std::string::npos)
                return name;
        }
        return reply;
    }
    size_t open = reply.find('>');
    std::string name = reply.substr(1, open - 1);
    const std::string close = "</" + name + ">";
    if (name.empty() || name.find_first_of("</ ") != std::string::npos || !EndsWith(reply, close) ||
        reply.size() < open + 1 + close.size())
        return reply;
    std::string inner = reply.substr(open + 1, reply.size() - open - 1 - close.size());
    return inner.find('<') == std::string::npos ? inner : reply;
}

std::string RequestName(const std::string& request) {
    size_t start = sizeof kOpen - 1;
    return request.substr(start, request.find('"', start) - start);
}

}  // namespace flash
