// Files and folders: finding entries, creating folders and files, attributes, the special
// folders. Paths use "/" as their separator; a name or path that does not fit the Windows buffer
// (MAX_PATH with its NUL) is refused with ERROR_FILENAME_EXCED_RANGE, never cut.
#pragma once

#include "pal/types.h"

// GetLastError values of this area (the common ones are in pal/types.h).
#ifndef ERROR_TOO_MANY_OPEN_FILES
#define ERROR_TOO_MANY_OPEN_FILES 4u
#endif
#ifndef ERROR_GEN_FAILURE
#define ERROR_GEN_FAILURE 31u
#endif
#ifndef ERROR_SHARING_VIOLATION
#define ERROR_SHARING_VIOLATION 32u
#endif
#ifndef ERROR_DISK_FULL
#define ERROR_DISK_FULL 112u
#endif
#ifndef ERROR_INVALID_NAME
#define ERROR_INVALID_NAME 123u
#endif

// File attributes.
#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

// CreateFileA: access, sharing, disposition.
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_ALL 0x10000000u
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u

// Special folders.
#define CSIDL_COMMON_APPDATA 0x0023
#define CSIDL_FLAG_CREATE 0x8000
#define CSIDL_FLAG_MASK 0xFF00

// 100-nanosecond intervals since 1 January 1601 (UTC).
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;

// Finds the entries of a folder that match the last component of lpFileName ("*" and "?" match
// without regard to letter case; a name without them finds that one entry). Fails with
// INVALID_HANDLE_VALUE and ERROR_FILE_NOT_FOUND (no entry matches, or the path ends in a
// separator), ERROR_PATH_NOT_FOUND (the folder is missing) or ERROR_INVALID_NAME (wildcards
// before the last component). Close the handle with FindClose.
HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
// The next match; FALSE with ERROR_NO_MORE_FILES after the last.
BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

// Creates one folder; its parent must exist (else ERROR_PATH_NOT_FOUND). ERROR_ALREADY_EXISTS
// when the name is taken. The security attributes are not used.
BOOL CreateDirectoryA(LPCSTR lpPathName, LPSECURITY_ATTRIBUTES lpSecurityAttributes);

// FILE_ATTRIBUTE_READONLY on a file removes its write permissions (and then no one, not even
// the superuser, opens it for writing through this layer); clearing it (FILE_ATTRIBUTE_NORMAL)
// gives the owner write permission again. The other attributes are accepted and not kept.
BOOL SetFileAttributesA(LPCSTR lpFileName, DWORD dwFileAttributes);

// TRUE when the path names an existing file or folder.
BOOL PathFileExistsA(LPCSTR pszPath);

// Opens or creates a file. The handle is closed with CloseHandle. On success the last error is
// ERROR_ALREADY_EXISTS when CREATE_ALWAYS or OPEN_ALWAYS found the file, else ERROR_SUCCESS.
// Sharing is checked against the other handles of this process only.
HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
// Writes the whole buffer at the handle's position. Overlapped writes are not supported.
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPVOID lpOverlapped);

// Only CSIDL_COMMON_APPDATA is known: $PAL_COMMON_APPDATA when set, else $XDG_DATA_HOME, else
// ~/.local/share, written into pszPath (MAX_PATH bytes) without a trailing separator. With
// fCreate (or CSIDL_FLAG_CREATE) the folder and its missing parents are created; without it a
// missing folder gives FALSE.
BOOL SHGetSpecialFolderPathA(HWND hwnd, LPSTR pszPath, int csidl, BOOL fCreate);
