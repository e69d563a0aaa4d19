// Resources: the data a module carries (dialog templates, menus, string tables, icon groups, the
// version block), looked up by module, type and name, and the calls that load them.
//
// A module's resources are a static table in its own code, given to the layer when the module
// loads: PAL_MODULE_RESOURCES(table) in one source file of the program or library registers the
// table for the module that holds it, and takes it back when the module unloads. Each entry's
// data is what the type's calls read:
//   RT_DIALOG      a DIALOGEX template (PalBuildDialogTemplate);
//   RT_MENU        a menu template (read by LoadMenuA);
//   RT_STRING      one string, named by its string id: its narrow (GBK) text, without a zero;
//   RT_GROUP_ICON  the file name of a PNG image, taken from the module's folder unless absolute;
//   RT_VERSION     the version block's bytes.
#pragma once

#include "pal/dialog.h"
#include "pal/types.h"
#include "pal/window.h"

typedef struct HRSRC__* HRSRC;
typedef void* HGLOBAL;

#define RT_ICON MAKEINTRESOURCEA(3)
#define RT_MENU MAKEINTRESOURCEA(4)
#define RT_DIALOG MAKEINTRESOURCEA(5)
#define RT_STRING MAKEINTRESOURCEA(6)
#define RT_GROUP_ICON MAKEINTRESOURCEA(14)
#define RT_VERSION MAKEINTRESOURCEA(16)

#ifndef ERROR_RESOURCE_DATA_NOT_FOUND
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812u
#endif
#ifndef ERROR_RESOURCE_TYPE_NOT_FOUND
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813u
#endif

// Not Win32: one resource of a module's table. type and name are MAKEINTRESOURCEA ids or texts
// (compared without regard to ASCII case; "#123" names the id 123).
struct PalResource {
    LPCSTR type;
    LPCSTR name;
    const void* data;
    DWORD size;
};

// Not Win32: registers the table (which must stay in place) for the module whose code or data
// holds it; a module may register several, searched in registration order. FALSE with
// ERROR_INVALID_PARAMETER for no table, one registered already, or an address no module holds.
BOOL PalRegisterResources(const PalResource* table, int count);
// Not Win32: takes a registered table back; FALSE with ERROR_INVALID_PARAMETER when it is not.
BOOL PalUnregisterResources(const PalResource* table);

// Registers a module's table while the module is loaded (a static object of the module).
class PalModuleResources {
public:
    template <int N>
    explicit PalModuleResources(const PalResource (&table)[N]) : table_(table) {
        PalRegisterResources(table, N);
    }
    ~PalModuleResources() { PalUnregisterResources(table_); }
    PalModuleResources(const PalModuleResources&) = delete;
    PalModuleResources& operator=(const PalModuleResources&) = delete;

private:
    const PalResource* table_;
};
#define PAL_MODULE_RESOURCES(table) static const PalModuleResources palModuleResources_(table)

// The resource of the module (NULL: the program) with that name and type. NULL with
// ERROR_RESOURCE_DATA_NOT_FOUND when the module has no resources, ERROR_RESOURCE_TYPE_NOT_FOUND
// when none of that type, ERROR_RESOURCE_NAME_NOT_FOUND when none of that name.
HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
// The resource's data, for LockResource; NULL with ERROR_INVALID_HANDLE for no resource.
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
// The bytes of LoadResource's data (they stay valid while the module is loaded).
LPVOID LockResource(HGLOBAL hResData);
// The resource's size in bytes; 0 with ERROR_INVALID_HANDLE for no resource.
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);

// Copies string uID of the module into the buffer: at most cchBufferMax - 1 bytes, never half
// of a two-byte character, and a terminating zero; returns the bytes copied. 0 when there is no
// such string (the buffer then holds an empty text, the error that of FindResourceA), and 0
// with ERROR_INVALID_PARAMETER for no buffer or cchBufferMax below 1.
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
// The icon of the module's icon group: one handle per module and group, the same for each call.
// NULL with FindResourceA's error for no such group, with ERROR_FILE_NOT_FOUND or
// ERROR_INVALID_DATA when its image cannot be read.
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);

// The dialogs of pal/dialog.h from the module's RT_DIALOG template: -1 (DialogBoxParamA) or
// NULL (CreateDialogParamA) with FindResourceA's error when there is none.
INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                        DLGPROC lpDialogFunc, LPARAM dwInitParam);
HWND CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent,
                        DLGPROC lpDialogFunc, LPARAM dwInitParam);
