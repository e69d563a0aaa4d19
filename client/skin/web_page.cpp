#include "web_page.h"

#include <cstdint>

#include "installed_version.h"
#include "windows.h"

namespace {

constexpr char kWebSection[] = "Web";

std::string PageUrl(const char* hostKey, const char* portAndPath) {
    std::string host = ReadInstallValue(kWebSection, hostKey);
    return host.empty() ? std::string() : "http://" + host + portAndPath;
}

// ShellExecuteA reports success with a value above 32.
bool Started(HINSTANCE result) {
    return reinterpret_cast<uintptr_t>(result) > 32;
}

}  // namespace

std::string HelpPageUrl() {
    return PageUrl("HelpHost", "/cafe/st/SubContent?subid=1202696");
}

std::string FeedbackPageUrl() {
    return PageUrl("FeedbackHost", ":8080/ur/reflect/questionH.jsp?ver=XX");
}

std::string LoadingMovieUrl() {
    return PageUrl("LoadingHost", "/loading_1.04.swf");
}

void OpenWebPage(const std::string& url) {
    if (url.empty()) {
        return;
    }
    if (Started(ShellExecuteA(nullptr, "open", "iexplore.exe", url.c_str(), nullptr, SW_SHOW))) {
        return;
    }
    ShellExecuteA(nullptr, "open", url.c_str(), nullptr, nullptr, SW_SHOW);
}
