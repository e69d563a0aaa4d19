#include "dialog/control_data.h"

#include <map>
#include <mutex>

namespace pal::dialog {
namespace {

struct DataTable {
    std::mutex lock;
    std::map<HWND, std::shared_ptr<ControlData>> controls;
};

DataTable& Table() {
    static DataTable* table = new DataTable;  // outlives every static destructor
    return *table;
}

}  // namespace

std::shared_ptr<ControlData> Data(HWND hwnd) {
    if (!IsWindow(hwnd)) {
        return nullptr;
    }
    DataTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    auto& data = table.controls[hwnd];
    if (!data) {
        data = std::make_shared<ControlData>();
    }
    return data;
}

void DropData(HWND hwnd) {
    DataTable& table = Table();
    std::lock_guard<std::mutex> guard(table.lock);
    table.controls.erase(hwnd);
}

LRESULT ControlDefault(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SETFONT:
            if (auto data = Data(hwnd)) {
                data->font = reinterpret_cast<HFONT>(wParam);
            }
            if (lParam) {
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        case WM_GETFONT: {
            auto data = Data(hwnd);
            return data ? reinterpret_cast<LRESULT>(data->font) : 0;
        }
        case WM_SETTEXT: {
            LRESULT result = DefWindowProcA(hwnd, msg, wParam, lParam);
            InvalidateRect(hwnd, nullptr, TRUE);
            return result;
        }
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd, &client);
            FillFace(reinterpret_cast<HDC>(wParam), client);
            return 1;
        }
        case WM_NCDESTROY:
            DropData(hwnd);
            return DefWindowProcA(hwnd, msg, wParam, lParam);
        default:
            return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

std::string ShownText(const std::string& text, bool prefixes) {
    if (!prefixes) {
        return text;
    }
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(text[i])) && i + 1 < text.size()) {
            shown += text.substr(i++, 2);
        } else if (text[i] != '&') {
            shown += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            shown += text[++i];
        }
    }
    return shown;
}

void FillFace(HDC dc, const RECT& client) {
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1)));
}

void DrawLabel(HDC dc, HFONT font, const std::string& text, const RECT& box, UINT align,
               bool centreVertically) {
    if (text.empty()) {
        return;
    }
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SIZE size{0, 0};
    int length = static_cast<int>(text.size());
    GetTextExtentPoint32A(dc, text.c_str(), length, &size);
    int x = box.left;
    if (align == SS_CENTER) {
        x = box.left + (box.right - box.left - size.cx) / 2;
    } else if (align == SS_RIGHT) {
        x = box.right - size.cx;
    }
    int y = centreVertically ? box.top + (box.bottom - box.top - size.cy) / 2 : box.top;
    TextOutA(dc, x, y, text.c_str(), length);
    if (old) {
        SelectObject(dc, old);
    }
}

}  // namespace pal::dialog
