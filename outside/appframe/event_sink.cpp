// The event-sink map's walk and the conversion of an event's arguments.
#include <cstring>
#include <vector>

#include "cmd_target.h"

const AFX_EVENTSINKMAP* CCmdTarget::GetThisEventSinkMap() {
    static const AFX_EVENTSINKMAP_ENTRY entries[] = {{0, 0, nullptr, nullptr}};
    static const AFX_EVENTSINKMAP map = {nullptr, entries};
    return &map;
}

const AFX_EVENTSINKMAP* CCmdTarget::GetEventSinkMap() const {
    return GetThisEventSinkMap();
}

namespace appframe {

std::string NarrowText(BSTR text) {
    UINT length = SysStringLen(text);
    if (length == 0)
        return "";
    int size = WideCharToMultiByte(CP_ACP, 0, text, int(length), nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? size_t(size) : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_ACP, 0, text, int(length), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

}  // namespace appframe

HRESULT CCmdTarget::OnEvent(UINT nCtrlID, DISPID dispid, const DISPPARAMS* pParams) {
    const AFX_EVENTSINKMAP_ENTRY* entry = nullptr;
    for (const AFX_EVENTSINKMAP* map = GetEventSinkMap(); map && !entry;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_EVENTSINKMAP_ENTRY* e = map->lpEntries; e->nCtrlID != 0; ++e) {
            if (e->nCtrlID == nCtrlID && e->dispid == dispid) {
                entry = e;
                break;
            }
        }
    }
    if (!entry)
        return DISP_E_MEMBERNOTFOUND;
    size_t count = std::strlen(entry->pbParamInfo);
    if (!pParams || pParams->cArgs != count)
        return DISP_E_BADPARAMCOUNT;
    // The arguments come last first; the handler takes them first first.
    std::vector<VARIANT> args(count);
    HRESULT hr = S_OK;
    size_t converted = 0;
    for (; converted < count && SUCCEEDED(hr); ++converted) {
        VariantInit(&args[converted]);
        hr = VariantChangeType(&args[converted], &pParams->rgvarg[count - 1 - converted], 0,
                               VARTYPE(BYTE(entry->pbParamInfo[converted])));
    }
    if (SUCCEEDED(hr))
        entry->pfn(this, args.data());
    for (size_t i = 0; i < converted; ++i) VariantClear(&args[i]);
    return FAILED(hr) ? DISP_E_TYPEMISMATCH : S_OK;
}
