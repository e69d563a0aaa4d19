#include "ole/com_init.h"

#include "windows.h"

namespace pal {
namespace {

// Per thread, as on Windows: how often the thread initialised the library, and its model.
struct ThreadApartment {
    int count = 0;
    DWORD model = 0;
};
thread_local ThreadApartment apartment;

}  // namespace

bool ComInitializedOnThisThread() {
    return apartment.count > 0;
}

}  // namespace pal

HRESULT CoInitialize(LPVOID pvReserved) {
    return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
    (void)pvReserved;
    DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
    if (pal::apartment.count > 0) {
        if (pal::apartment.model != model)
            return RPC_E_CHANGED_MODE;
        ++pal::apartment.count;
        return S_FALSE;
    }
    pal::apartment.model = model;
    pal::apartment.count = 1;
    return S_OK;
}

void CoUninitialize() {
    if (pal::apartment.count > 0)
        --pal::apartment.count;
}
