// Event-sink maps: a container's table of (control id, event dispatch id) to a typed handler
// with the event's parameter types (VTS_ strings). The framework converts the event's arguments
// to those types (a VTS_BSTR argument reaches the handler as narrow text) before the call.
//
//     BEGIN_EVENTSINK_MAP(CMyDlg, CDialog)
//         ON_EVENT(CMyDlg, 1000, 0xC5, OnFlashCall, VTS_BSTR)
//     END_EVENTSINK_MAP()
#pragma once

#include <cstddef>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "windows.h"

class CCmdTarget;

// Parameter type strings: one VARTYPE byte per parameter.
#define VTS_NONE ""
#define VTS_I4 "\x03"
#define VTS_BSTR "\x08"
#define VTS_BOOL "\x0B"

// Calls the handler with the event's arguments, already converted to the entry's types and in
// parameter order.
typedef void (*AFX_PEVENT)(CCmdTarget* target, const VARIANT* args);

struct AFX_EVENTSINKMAP_ENTRY {
    UINT nCtrlID;  // 0 ends the table
    DISPID dispid;
    const char* pbParamInfo;
    AFX_PEVENT pfn;
};

struct AFX_EVENTSINKMAP {
    const AFX_EVENTSINKMAP* (*pfnGetBaseMap)();
    const AFX_EVENTSINKMAP_ENTRY* lpEntries;
};

namespace appframe {

// The narrow (GBK) text of a BSTR.
std::string NarrowText(BSTR text);

// One argument as the handler's parameter type takes it; a narrow text lives in `held` for the
// call.
template <typename T>
T EventArgument(const VARIANT& v, std::string& held) {
    if constexpr (std::is_same_v<T, LPCSTR>) {
        held = NarrowText(v.bstrVal);
        return held.c_str();
    } else {
        static_assert(std::is_integral_v<T>, "event parameters are numbers, BOOLs or texts");
        return v.vt == VT_BOOL ? T(v.boolVal != VARIANT_FALSE) : T(v.lVal);
    }
}

template <typename C, typename R, typename... Args, std::size_t... I>
void CallEventHandler(C* target, R (C::*handler)(Args...), const VARIANT* args,
                      std::index_sequence<I...>) {
    std::string held[sizeof...(Args) + 1];
    (target->*handler)(EventArgument<std::decay_t<Args>>(args[I], held[I])...);
}

template <typename C, typename R, typename... Args>
void CallEventHandler(C* target, R (C::*handler)(Args...), const VARIANT* args) {
    CallEventHandler(target, handler, args, std::index_sequence_for<Args...>{});
}

}  // namespace appframe

#define DECLARE_EVENTSINK_MAP()                           \
protected:                                                \
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap(); \
                                                          \
public:                                                   \
    const AFX_EVENTSINKMAP* GetEventSinkMap() const override;

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                \
    const AFX_EVENTSINKMAP* theClass::GetEventSinkMap() const { \
        return GetThisEventSinkMap();                           \
    }                                                           \
    const AFX_EVENTSINKMAP* theClass::GetThisEventSinkMap() {   \
        using TheBaseClass [[maybe_unused]] = baseClass;        \
        static const AFX_EVENTSINKMAP_ENTRY afxEventEntries[] = {
#define END_EVENTSINK_MAP()                                                          \
    { 0, 0, nullptr, nullptr }                                                       \
    }                                                                                \
    ;                                                                                \
    static const AFX_EVENTSINKMAP afxEventMap = {&TheBaseClass::GetThisEventSinkMap, \
                                                 afxEventEntries};                   \
    return &afxEventMap;                                                             \
    }

#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams)                                 \
    {id, dispid, vtsParams, [](CCmdTarget* afxTarget, const VARIANT* afxArgs) {               \
         appframe::CallEventHandler(static_cast<theClass*>(afxTarget), &theClass::pfnHandler, \
                                    afxArgs);                                                 \
     }},
