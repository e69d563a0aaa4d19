// INI profile files. Section and key names match without regard to letter case. A file name
// without a separator lives in the Windows directory: $PAL_WINDOWS_DIR when set, else the folder
// "windows" under the runtime root; a NULL file name is "win.ini" there.
#pragma once

#include "pal/types.h"

// Copies the value of the key into lpReturnedString, without its surrounding blanks and one pair
// of enclosing quotes, cut to nSize - 1 bytes (a two-byte character that does not fit whole is
// left out). A missing file, section or key gives lpDefault without trailing blanks (NULL gives
// ""). Returns the number of bytes copied, without the NUL. Enumeration (a NULL section or key)
// is not provided: it gives "" and ERROR_INVALID_PARAMETER.
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);

// Sets one key's value, creating the file and the section when missing; a NULL value deletes
// the key, a NULL key the whole section. Every other byte of the file stays as it was. The new
// file is written beside the old one and renamed into place, so the file is never left half
// written; writers of one folder take turns. Names and values that would break the file's lines
// (a line break anywhere, "=" in a key, "]" in a section) are refused with ERROR_INVALID_PARAMETER.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName);
