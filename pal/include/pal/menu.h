// Menus: menus and popup menus made in code (or from a module's resources), a window's system
// menu, and TrackPopupMenu, which shows a popup menu in a window of its own and runs its own
// message loop until an item is chosen or the menu is dismissed. Menus are objects of the
// process (any thread may use a handle); a popup is tracked on the calling thread.
#pragma once

#include <string>
#include <vector>

#include "pal/types.h"

// AppendMenuA's item types and states, GetMenuStringA's ways of naming an item.
#define MF_STRING 0x0000u
#define MF_GRAYED 0x0001u
#define MF_DISABLED 0x0002u
#define MF_BITMAP 0x0004u
#define MF_CHECKED 0x0008u
#define MF_POPUP 0x0010u
#define MF_OWNERDRAW 0x0100u
#define MF_BYCOMMAND 0x0000u
#define MF_BYPOSITION 0x0400u
#define MF_SEPARATOR 0x0800u
// A menu template's mark on the last item of each level.
#define MF_END 0x0080u

// TrackPopupMenu's flags.
#define TPM_LEFTBUTTON 0x0000u
#define TPM_RIGHTBUTTON 0x0002u
#define TPM_LEFTALIGN 0x0000u
#define TPM_TOPALIGN 0x0000u
#define TPM_RETURNCMD 0x0100u

#ifndef ERROR_INVALID_MENU_HANDLE
#define ERROR_INVALID_MENU_HANDLE 1401u
#endif
#ifndef ERROR_POPUP_ALREADY_ACTIVE
#define ERROR_POPUP_ALREADY_ACTIVE 1446u
#endif
#ifndef ERROR_MENU_ITEM_NOT_FOUND
#define ERROR_MENU_ITEM_NOT_FOUND 1456u
#endif

// An empty menu bar, an empty popup menu. Handles are never reused within the process.
HMENU CreateMenu();
HMENU CreatePopupMenu();
// Frees the menu and, with it, every submenu its items carry. FALSE with
// ERROR_INVALID_MENU_HANDLE for a handle that is no menu (also one destroyed already).
BOOL DestroyMenu(HMENU hMenu);

// Appends an item: MF_STRING (lpNewItem the GBK text, NULL for an empty one; uIDNewItem the
// command id), MF_SEPARATOR, or MF_POPUP (uIDNewItem the submenu, which the menu then owns).
// MF_GRAYED and MF_DISABLED make an item that cannot be chosen, MF_CHECKED is kept. FALSE with
// ERROR_INVALID_MENU_HANDLE for no menu (or an MF_POPUP submenu that is none),
// ERROR_NOT_SUPPORTED for MF_BITMAP and MF_OWNERDRAW items.
BOOL AppendMenuA(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem);
// The number of items; -1 with ERROR_INVALID_MENU_HANDLE.
int GetMenuItemCount(HMENU hMenu);
// The submenu of the MF_POPUP item at nPos; NULL for another item or a position out of range,
// NULL with ERROR_INVALID_MENU_HANDLE for no menu.
HMENU GetSubMenu(HMENU hMenu, int nPos);
// The text of the item named by its command id (MF_BYCOMMAND, submenus searched too) or its
// position (MF_BYPOSITION). With lpString NULL returns the text's length in bytes; otherwise
// copies at most nMaxCount - 1 bytes (never half a two-byte character) and a terminator and
// returns the bytes copied. 0 for a separator or a submenu item without text, 0 with
// ERROR_MENU_ITEM_NOT_FOUND for no such item, ERROR_INVALID_MENU_HANDLE for no menu.
int GetMenuStringA(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags);

// The window's copy of the system menu when bRevert is FALSE, made on the first call with the
// standard items (restore, move, size, minimise, maximise, a separator, close; command ids
// SC_RESTORE ... SC_CLOSE) and the same handle afterwards, so items appended to it stay.
// bRevert TRUE drops the copy and returns NULL. NULL for a window without WS_SYSMENU, NULL with
// ERROR_INVALID_WINDOW_HANDLE for no window of this process.
HMENU GetSystemMenu(HWND hWnd, BOOL bRevert);

// The menu of the module's RT_MENU template (hInstance NULL: the program): a menu bar whose
// items and submenus are the template's. NULL with FindResourceA's error when there is none,
// with ERROR_INVALID_DATA when the template is damaged (nothing of it is left behind).
HMENU LoadMenuA(HINSTANCE hInstance, LPCSTR lpMenuName);

// Not Win32: one item of a menu template described in code. flags MF_STRING, MF_SEPARATOR or
// MF_POPUP (whose items are its submenu), with MF_GRAYED, MF_DISABLED, MF_CHECKED; text GBK.
struct PalMenuTemplateItem {
    UINT flags = MF_STRING;
    WORD id = 0;
    std::string text;
    std::vector<PalMenuTemplateItem> items;
};
// Not Win32: the bytes of the menu template (the standard layout: a header of two zero words,
// then per item WORD flags, WORD id unless MF_POPUP, the UTF-16 text, MF_END on the last item
// of each level) whose menu bar has these items, for a module's RT_MENU resource. Empty when a
// text is no GBK text or a level has no items.
std::vector<BYTE> PalBuildMenuTemplate(const std::vector<PalMenuTemplateItem>& bar);

// Shows the popup menu with its top-left corner at the screen point x, y (moved left or up by
// its size where it would leave the screen), on top of every window, and runs a message loop of
// its own on the calling thread until it ends; the calling thread's other messages are
// dispatched meanwhile. The pointer chooses an item by releasing the left button on it (the
// right button too with TPM_RIGHTBUTTON); the up and down keys move the highlight over the
// items that can be chosen and Enter chooses the highlighted one. An MF_POPUP item opens its
// submenu beside it (on the other side, or shifted up, where it would leave the screen) when
// the pointer comes onto it, or with Right or Enter while it is highlighted (the submenu's
// first item highlighted then); Left, Escape and Enter with nothing highlighted close just the
// deepest submenu, and the pointer on another item of a level closes the submenus below that
// level. A choice in any level ends the whole menu with that command. A press outside every
// open level, Escape or Enter with nothing highlighted in the menu itself, the owner going,
// the loss of the capture or WM_QUIT (posted again) dismiss it all. MF_CHECKED items show a
// check mark. A chosen item's command comes to hWnd as a posted WM_COMMAND
// (wParam its id, lParam 0) and the result is TRUE; with TPM_RETURNCMD nothing is posted and
// the result is the chosen id, 0 when dismissed. 0 with ERROR_INVALID_MENU_HANDLE,
// ERROR_INVALID_WINDOW_HANDLE (no window of this process), ERROR_WINDOW_OF_OTHER_THREAD, or
// ERROR_POPUP_ALREADY_ACTIVE while the thread tracks a popup already. nReserved and prcRect are
// not used.
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd,
                    const RECT* prcRect);

// ---- Observing open popups (not Win32) -------------------------------------------------------

struct PalPopupMenuItem {
    UINT_PTR id;       // the command id (the submenu for MF_POPUP items)
    UINT flags;        // MF_STRING, MF_SEPARATOR or MF_POPUP, with MF_GRAYED, MF_DISABLED,
                       // MF_CHECKED
    std::string text;  // GBK, as appended
    RECT rect;         // screen coordinates
};

struct PalPopupMenu {
    HWND popup;  // the window that shows it
    HWND owner;
    HMENU menu;
    DWORD threadId;  // the thread that tracks it
    int hot;         // the highlighted item's position, -1 for none
    std::vector<PalPopupMenuItem> items;
};

// The popup menus that TrackPopupMenu shows now in this process, from any thread, oldest first:
// a tracked menu and then each submenu open from it, in the order they opened.
std::vector<PalPopupMenu> PalOpenPopupMenus();
