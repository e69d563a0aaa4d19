#include "ole/com_init.h"
#include "ole/component_registry.h"
#include "windows.h"

// Differs from Windows: the class id is looked up in the installation's component registry
// (`components.ini` in the program's folder, or the file $PAL_COMPONENT_REGISTRY names), not
// in the system registry, and only in-process servers exist. A library that is missing or
// cannot be loaded gives HRESULT_FROM_WIN32 of LoadLibraryA's error; one without the export
// CO_E_ERRORINDLL. The library stays loaded for the process's life.
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID pvReserved, REFIID riid,
                         LPVOID* ppv) {
    (void)pvReserved;
    if (ppv == nullptr)
        return E_INVALIDARG;
    *ppv = nullptr;
    if (!pal::ComInitializedOnThisThread())
        return CO_E_NOTINITIALIZED;
    if ((dwClsContext & CLSCTX_INPROC_SERVER) == 0)
        return REGDB_E_CLASSNOTREG;
    std::string library = pal::RegisteredLibrary(rclsid);
    if (library.empty())
        return REGDB_E_CLASSNOTREG;
    HMODULE module = LoadLibraryA(library.c_str());
    if (module == nullptr)
        return HRESULT_FROM_WIN32(GetLastError());
    auto getClassObject = reinterpret_cast<PalGetClassObjectProc>(
        reinterpret_cast<void*>(GetProcAddress(module, PAL_GET_CLASS_OBJECT_EXPORT)));
    if (getClassObject == nullptr)
        return CO_E_ERRORINDLL;
    return getClassObject(rclsid, riid, ppv);
}

// Differs from Windows: as `CoGetClassObject`, through which it finds the class factory.
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory,
                                  reinterpret_cast<void**>(&factory));
    if (FAILED(hr))
        return hr;
    hr = factory->CreateInstance(pUnkOuter, riid, ppv);
    factory->Release();
    return hr;
}
