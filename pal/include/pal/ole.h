// OLE automation: wide text, BSTR, VARIANT, IDispatch, class ids and component creation, as
// the client's control hosting and the Flash control's stand-in use them.
#pragma once

#include "pal/types.h"

// Differs from Windows: a wide character is a UTF-16 unit of type char16_t (wchar_t is 32 bits
// on Linux), so wide literals are written u"..." rather than L"...".
typedef char16_t WCHAR;
typedef WCHAR OLECHAR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef OLECHAR* LPOLESTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* BSTR;
typedef unsigned short USHORT;
typedef CLSID* LPCLSID;

#define CP_UTF8 65001u

// Narrow text (CP_ACP is GBK, or CP_UTF8) to UTF-16 and back. cchMultiByte or cchWideChar -1
// means "up to and including the terminating zero". A zero output size asks for the size needed.
// An invalid sequence fails with ERROR_NO_UNICODE_TRANSLATION, a short buffer with
// ERROR_INSUFFICIENT_BUFFER, an unknown code page with ERROR_INVALID_PARAMETER.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar);
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        LPBOOL lpUsedDefaultChar);
#define ERROR_NO_UNICODE_TRANSLATION 1113u

// BSTR: UTF-16 text with its byte length in the four bytes before the first character and a
// terminating zero unit after the last. A null BSTR is the empty text.
BSTR SysAllocString(const OLECHAR* psz);
BSTR SysAllocStringLen(const OLECHAR* strIn, UINT ui);
BSTR SysAllocStringByteLen(LPCSTR psz, UINT len);
void SysFreeString(BSTR bstrString);
UINT SysStringLen(BSTR pbstr);
UINT SysStringByteLen(BSTR bstr);

// Result codes of automation and of component creation.
#define DISP_E_UNKNOWNINTERFACE (static_cast<HRESULT>(0x80020001u))
#define DISP_E_MEMBERNOTFOUND (static_cast<HRESULT>(0x80020003u))
#define DISP_E_PARAMNOTFOUND (static_cast<HRESULT>(0x80020004u))
#define DISP_E_TYPEMISMATCH (static_cast<HRESULT>(0x80020005u))
#define DISP_E_UNKNOWNNAME (static_cast<HRESULT>(0x80020006u))
#define DISP_E_EXCEPTION (static_cast<HRESULT>(0x80020009u))
#define DISP_E_BADVARTYPE (static_cast<HRESULT>(0x80020008u))
#define DISP_E_BADPARAMCOUNT (static_cast<HRESULT>(0x8002000Eu))
#define E_NOTIMPL (static_cast<HRESULT>(0x80004001u))
#define E_UNEXPECTED (static_cast<HRESULT>(0x8000FFFFu))
#define CLASS_E_NOAGGREGATION (static_cast<HRESULT>(0x80040110u))
#define CLASS_E_CLASSNOTAVAILABLE (static_cast<HRESULT>(0x80040111u))
#define REGDB_E_CLASSNOTREG (static_cast<HRESULT>(0x80040154u))
#define CO_E_NOTINITIALIZED (static_cast<HRESULT>(0x800401F0u))
#define CO_E_ERRORINDLL (static_cast<HRESULT>(0x800401F9u))
#define CO_E_CLASSSTRING (static_cast<HRESULT>(0x800401F3u))
#define RPC_E_CHANGED_MODE (static_cast<HRESULT>(0x80010106u))
#define HRESULT_FROM_WIN32(x)                               \
    (static_cast<HRESULT>(x) <= 0 ? static_cast<HRESULT>(x) \
                                  : static_cast<HRESULT>(((x)&0x0000FFFFu) | 0x80070000u))

// VARIANT: the types the system passes through automation.
typedef unsigned short VARTYPE;
typedef short VARIANT_BOOL;
#define VARIANT_TRUE (static_cast<VARIANT_BOOL>(-1))
#define VARIANT_FALSE (static_cast<VARIANT_BOOL>(0))

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
    VT_UI4 = 19,
    VT_INT = 22,
    VT_UINT = 23,
    VT_BYREF = 0x4000,
};

struct IDispatch;

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        short iVal;
        ULONG ulVal;
        INT intVal;
        UINT uintVal;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        void* byref;
    };
};
typedef VARIANT VARIANTARG;

void VariantInit(VARIANTARG* pvarg);
// Frees what the variant owns (its BSTR, its interface reference) and leaves it VT_EMPTY.
// An unknown type fails with DISP_E_BADVARTYPE and leaves the variant as it was.
HRESULT VariantClear(VARIANTARG* pvarg);
HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);
// Converts among VT_EMPTY, VT_I4, VT_BSTR and VT_BOOL; pvargDest may be pvarSrc.
// A text that is no number gives DISP_E_TYPEMISMATCH; other target types DISP_E_BADVARTYPE.
HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt);

// IDispatch.
typedef LONG DISPID;
typedef DISPID MEMBERID;
typedef DWORD LCID;
#define DISPID_UNKNOWN (-1)
#define DISPID_PROPERTYPUT (-3)
#define DISPATCH_METHOD 0x1
#define DISPATCH_PROPERTYGET 0x2
#define DISPATCH_PROPERTYPUT 0x4
#define DISPATCH_PROPERTYPUTREF 0x8

// Arguments go in reverse order: rgvarg[0] is the last argument.
struct DISPPARAMS {
    VARIANTARG* rgvarg;
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    HRESULT scode;
};

struct ITypeInfo;

// {00020400-0000-0000-C000-000000000046}
inline constexpr IID IID_IDispatch = {
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// {00000001-0000-0000-C000-000000000046}
inline constexpr IID IID_IClassFactory = {
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID IID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

struct IDispatch : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                                    LCID lcid, DISPID* rgDispId) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid,
                                             WORD wFlags, DISPPARAMS* pDispParams,
                                             VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                             UINT* puArgErr) = 0;

protected:
    ~IDispatch() = default;
};

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid,
                                                     void** ppvObject) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) = 0;

protected:
    ~IClassFactory() = default;
};

// Class ids in their registry form "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
// A text of another form gives CO_E_CLASSSTRING.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
// Writes the registry form and its zero (39 units); a smaller buffer gives 0.
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);

// Components.
#define COINIT_APARTMENTTHREADED 0x2
#define COINIT_MULTITHREADED 0x0
#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER)

HRESULT CoInitialize(LPVOID pvReserved);
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void CoUninitialize();
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID pvReserved, REFIID riid,
                         LPVOID* ppv);
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv);

// Not Win32: the export a component library gives, the same as a Windows in-process server's.
typedef HRESULT (*PalGetClassObjectProc)(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
#define PAL_GET_CLASS_OBJECT_EXPORT "DllGetClassObject"

// Not Win32: where the component registry lives (see DEVIATIONS.md, `CoGetClassObject`).
#define PAL_COMPONENT_REGISTRY_FILE "components.ini"
#define PAL_COMPONENT_REGISTRY_SECTION "CLSID"

// Not Win32: the one interface a hosted control gives its container, in place of the OLE
// in-place activation, persistence and connection-point interfaces. A container creates the
// component with CoCreateInstance, asks it for this interface, gives it the persisted state,
// connects its event sink and creates its window; the control's calls go through the
// component's IDispatch (QueryInterface with IID_IDispatch).
// {6C2A0F4E-5B1D-4E8A-9C3F-2D7B8E1A4C60}
inline constexpr IID IID_IPalHostedControl = {
    0x6C2A0F4E, 0x5B1D, 0x4E8A, {0x9C, 0x3F, 0x2D, 0x7B, 0x8E, 0x1A, 0x4C, 0x60}};

struct IPalHostedControl : IUnknown {
    // The persisted state as the dialog template's initialisation data holds it (the bytes after
    // the message and size of the template's entry). A state the control cannot read fails with
    // E_FAIL and leaves the control's defaults.
    virtual HRESULT STDMETHODCALLTYPE LoadState(const BYTE* data, DWORD size) = 0;
    // The sink gets every event as Invoke(event's dispatch id, IID_NULL, 0, DISPATCH_METHOD,
    // parameters) on the thread of the control's window. One sink at a time; null disconnects.
    virtual HRESULT STDMETHODCALLTYPE SetEventSink(IDispatch* sink) = 0;
    // Creates the control's window as a visible child of parent, with the rectangle in the
    // parent's client coordinates and the control id; the window is destroyed with its parent.
    virtual HRESULT STDMETHODCALLTYPE CreateControlWindow(HWND parent, const RECT* rect, UINT id,
                                                          HWND* phwnd) = 0;

protected:
    ~IPalHostedControl() = default;
};
