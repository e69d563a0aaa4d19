// Starting programs, on the platform layer's CreateProcessA (and so its name rule).
#include "brlib.h"
#include "windows.h"

namespace BrLib::Process {

ProcessExecutor::ProcessExecutor() = default;
ProcessExecutor::~ProcessExecutor() = default;

int ProcessExecutor::Exec(const std::string& path, bool wait) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return static_cast<int>(GetLastError());
    }
    CloseHandle(info.hThread);
    if (wait) {
        WaitForSingleObject(info.hProcess, INFINITE);
    }
    CloseHandle(info.hProcess);  // the layer reaps the program when it ends
    return 0;
}

}  // namespace BrLib::Process
