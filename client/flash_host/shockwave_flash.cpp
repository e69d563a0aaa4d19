#include "shockwave_flash.h"

IMPLEMENT_DYNCREATE(CShockwaveflash, CWnd)

namespace {

// The dispatch ids of the control's calls.
constexpr DISPID kMovie = 0x66;
constexpr DISPID kScaleMode = 0x78;
constexpr DISPID kFlashVersion = 0x84;
constexpr DISPID kBGColor = 0x8C;
constexpr DISPID kSetReturnValue = 0xC7;

const BYTE* Params(const char* vts) {
    return reinterpret_cast<const BYTE*>(vts);
}

}  // namespace

const CLSID& CShockwaveflash::GetClsid() {
    static constexpr CLSID clsid = {
        0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    return clsid;
}

BOOL CShockwaveflash::Create(LPCSTR, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                             CWnd* pParentWnd, UINT nID) {
    return CreateControl(GetClsid(), lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

BOOL CShockwaveflash::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_RBUTTONDOWN || message == WM_RBUTTONUP)
        return TRUE;
    return CWnd::OnWndMsg(message, wParam, lParam, pResult);
}

void CShockwaveflash::SetMovie(LPCSTR newValue) {
    InvokeHelper(kMovie, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, Params(VTS_BSTR), newValue);
}

void CShockwaveflash::SetScaleMode(LONG newValue) {
    InvokeHelper(kScaleMode, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, Params(VTS_I4), newValue);
}

LONG CShockwaveflash::FlashVersion() {
    LONG result = 0;
    InvokeHelper(kFlashVersion, DISPATCH_METHOD, VT_I4, &result, nullptr);
    return result;
}

void CShockwaveflash::SetBGColor(LPCSTR newValue) {
    InvokeHelper(kBGColor, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, Params(VTS_BSTR), newValue);
}

void CShockwaveflash::SetReturnValue(LPCSTR returnValue) {
    InvokeHelper(kSetReturnValue, DISPATCH_METHOD, VT_EMPTY, nullptr, Params(VTS_BSTR),
                 returnValue);
}
