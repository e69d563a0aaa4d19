// GetPrivateProfileStringA and WritePrivateProfileStringA.
#include <string>
#include <string_view>

#include "file/file_error.h"
#include "text/gbk_name.h"
#include "ini/ini_document.h"
#include "ini/ini_file.h"

namespace pal::ini {
namespace {

// Copies text into the caller's buffer of size bytes (size > 0): at most size - 1 bytes, never
// half of a two-byte character, and a NUL. Returns the bytes copied.
DWORD CopyOut(std::string_view text, LPSTR buffer, DWORD size) {
    size_t length = 0;
    while (length < text.size()) {
        size_t step = fs::CharLength(text, length);
        if (length + step > size - 1) {
            break;
        }
        length += step;
    }
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<DWORD>(length);
}

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != text.npos;
}

// Names and values that would change the meaning of other lines if they were written.
bool IsWritable(std::string_view section, const char* key, const char* value) {
    if (HasLineBreak(section) || fs::FindChar(section, ']') != section.npos) {
        return false;
    }
    if (key) {
        std::string_view name = Trim(key);
        if (HasLineBreak(name) || name.find('=') != name.npos ||
            (!name.empty() && (name[0] == '[' || name[0] == ';'))) {
            return false;
        }
    }
    return !value || !HasLineBreak(value);
}

}  // namespace
}  // namespace pal::ini

// Differs from Windows: a NULL section or key (the listing of sections or keys) is not provided.
// A cut never splits a two-byte character. Only ASCII letters match without regard to case.
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
    using namespace pal::ini;
    if (!lpReturnedString || nSize == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!lpAppName || !lpKeyName) {
        lpReturnedString[0] = '\0';
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::optional<std::string> value;
    if (std::optional<std::string> path = ResolveProfilePath(lpFileName, false)) {
        if (std::optional<std::string> text = ReadWholeFile(*path)) {
            value = FindValue(*text, lpAppName, lpKeyName);
        }
    }
    if (value) {
        DWORD copied = CopyOut(*value, lpReturnedString, nSize);
        SetLastError(ERROR_SUCCESS);
        return copied;
    }
    DWORD copied = CopyOut(TrimEnd(lpDefault ? lpDefault : ""), lpReturnedString, nSize);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return copied;
}

// Differs from Windows: writes wait for each other (a lock on the file's folder), and a file
// that may be written in a folder that may not (a rename needs the folder) cannot be changed.
// A value with a line break, a key with "=" or one that starts with "[" or ";", and a section
// with "]" are refused with ERROR_INVALID_PARAMETER instead of damaging the file.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName) {
    using namespace pal::ini;
    if (!lpAppName) {
        // All three NULL asks Windows to flush its cache, and that call returns FALSE; there is
        // no cache here.
        SetLastError(lpKeyName || lpString ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS);
        return FALSE;
    }
    std::string_view section = Trim(lpAppName);
    if (!IsWritable(section, lpKeyName, lpString)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const bool adds = lpKeyName && lpString;
    std::optional<std::string> path = ResolveProfilePath(lpFileName, adds);
    if (!path) {
        return FALSE;
    }
    bool done = ReplaceFile(*path, adds, [&](const std::optional<std::string>& old) {
        std::string_view text = old ? std::string_view(*old) : std::string_view();
        if (!lpKeyName) {
            return DeleteSection(text, section);
        }
        if (!lpString) {
            return DeleteKey(text, section, lpKeyName);
        }
        return SetValue(text, section, lpKeyName, lpString);
    });
    if (done) {
        SetLastError(ERROR_SUCCESS);
    }
    return done ? TRUE : FALSE;
}
