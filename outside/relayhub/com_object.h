// QueryInterface of the library's objects: IID_IUnknown and the object's own interface id.
#pragma once

#include "pal/types.h"

namespace relayhub {

template <typename Interface>
HRESULT QueryOwnInterface(Interface* self, REFIID own, REFIID iid, void** out) {
    if (!out) {
        return E_POINTER;
    }
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, own)) {
        *out = self;
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

}  // namespace relayhub
