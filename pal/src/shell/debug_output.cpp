// OutputDebugStringA, to where $PAL_DEBUG_OUTPUT says; and InitCommonControlsEx.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "text/gbk_utf8.h"
#include "windows.h"

// Differs from Windows: there is no debugger to hear the text; it goes to standard error or a
// file when $PAL_DEBUG_OUTPUT asks for it, each text in one write so texts of several threads
// and processes do not mix.
void OutputDebugStringA(LPCSTR lpOutputString) {
    const char* where = std::getenv("PAL_DEBUG_OUTPUT");
    if (!lpOutputString || !where || !*where) {
        return;
    }
    std::string text = pal::text::Utf8FromGbk(lpOutputString);
    bool toStderr = std::strcmp(where, "stderr") == 0;
    int fd = toStderr ? STDERR_FILENO
                      : open(where, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return;
    }
    ssize_t written = write(fd, text.data(), text.size());
    (void)written;  // debug output never fails the caller
    if (!toStderr) {
        close(fd);
    }
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce) {
    return picce && picce->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}
