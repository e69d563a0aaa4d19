// ShellExecuteA: programs, and web addresses through the desktop's opener.
#include <cstdlib>
#include <string>

#include "process/program_names.h"
#include "process/program_start.h"

namespace pal {
namespace {

// Windows's success value; any value above 32 means success.
constexpr INT_PTR kStarted = 42;

HINSTANCE Result(INT_PTR value) {
    return reinterpret_cast<HINSTANCE>(value);
}

bool IsWebAddress(const std::string& file) {
    auto startsWith = [&](std::string_view prefix) {
        return file.size() > prefix.size() && EqualsNoCase(file.substr(0, prefix.size()), prefix);
    };
    return startsWith("http://") || startsWith("https://");
}

INT_PTR ShellErrorFor(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
            return SE_ERR_FNF;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DIRECTORY:
            return SE_ERR_PNF;
        case ERROR_BAD_EXE_FORMAT:
            return SE_ERR_NOASSOC;  // a document with no program for it
        case ERROR_NOT_ENOUGH_MEMORY:
            return SE_ERR_OOM;
        default:
            return SE_ERR_ACCESSDENIED;
    }
}

INT_PTR Start(const std::string& program, ProgramSearch search, SpawnRequest request,
              const std::string& firstFolder = std::string()) {
    std::shared_ptr<Child> child;  // not waited for: the layer reaps it when it ends
    DWORD error = StartProgram(program, search, std::move(request), child, firstFolder);
    return error == ERROR_SUCCESS ? kStarted : ShellErrorFor(error);
}

// The program that opens web addresses: $PAL_URL_OPENER, else xdg-open when present.
std::string UrlOpener() {
    const char* opener = std::getenv("PAL_URL_OPENER");
    if (opener && *opener) {
        return opener;
    }
    std::string file;
    return FindProgram("xdg-open", ProgramSearch::kPath, file) == ERROR_SUCCESS ? file
                                                                                : std::string();
}

}  // namespace
}  // namespace pal

// Differs from Windows: headless, so the show command only reaches a WinMain-style program (entry.h); the
// owner window is not used. Verbs other than "open" fail with SE_ERR_NOASSOC, and so does a file
// that is no program (no execute bit, no "#!" line): documents are not opened. A bare program
// name is looked for in lpDirectory, the program's folder, the current folder, then PATH.
HINSTANCE ShellExecuteA(HWND, LPCSTR lpOperation, LPCSTR lpFile, LPCSTR lpParameters,
                        LPCSTR lpDirectory, INT nShowCmd) {
    if (lpOperation && *lpOperation && !pal::EqualsNoCase(lpOperation, "open")) {
        return pal::Result(SE_ERR_NOASSOC);
    }
    std::string file = lpFile ? lpFile : "";
    if (file.empty()) {
        return pal::Result(SE_ERR_FNF);
    }
    pal::SpawnRequest request;
    request.showCommand = nShowCmd;
    if (lpDirectory && *lpDirectory) {
        request.directory = lpDirectory;
    }
    if (pal::IsWebAddress(file)) {
        std::string opener = pal::UrlOpener();
        if (opener.empty()) {
            return pal::Result(SE_ERR_NOASSOC);
        }
        request.args.push_back(file);
        return pal::Result(pal::Start(opener, pal::ProgramSearch::kPath, std::move(request)));
    }
    if (lpParameters && *lpParameters) {
        request.args.push_back(lpParameters);
    }
    request.argv0 = file;
    std::string directory = request.directory;
    return pal::Result(pal::Start(file, pal::ProgramSearch::kPath, std::move(request), directory));
}
