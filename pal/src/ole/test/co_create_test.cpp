#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "windows.h"

namespace {

namespace fs = std::filesystem;

// The class the sample component library serves, and one no library serves.
const char16_t kSample[] = u"{8A1F0C2E-5B3D-4E6F-9A7B-1C2D3E4F5061}";
const char16_t kOther[] = u"{00000000-1111-2222-3333-444455556666}";

CLSID Clsid(const char16_t* text) {
    CLSID id{};
    EXPECT_EQ(CLSIDFromString(text, &id), S_OK);
    return id;
}

// A registry file of its own per test, named through PAL_COMPONENT_REGISTRY.
class CoCreateTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("pal_co_create_" + std::to_string(getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        setenv("PAL_COMPONENT_REGISTRY", (dir_ / "components.ini").c_str(), 1);
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
    }
    void TearDown() override {
        CoUninitialize();
        unsetenv("PAL_COMPONENT_REGISTRY");
        fs::remove_all(dir_);
    }
    void Register(const std::string& entries) {
        std::ofstream(dir_ / "components.ini") << "[CLSID]\n" << entries;
    }
    fs::path dir_;
};

TEST_F(CoCreateTest, CreatesTheRegisteredClassAndItsDispatchWorks) {
    Register("{8A1F0C2E-5B3D-4E6F-9A7B-1C2D3E4F5061}=" + std::string(BR_TEST_BIN_DIR) +
             "/PalComponent.dll\n");
    IDispatch* object = nullptr;
    ASSERT_EQ(CoCreateInstance(Clsid(kSample), nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    ASSERT_NE(object, nullptr);

    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXPECT_EQ(object->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(result.vt, VT_I4);
    EXPECT_EQ(result.lVal, 42);

    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocString(u"kept");
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&arg, &named, 1, 1};
    EXPECT_EQ(object->Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr),
              S_OK);
    VariantClear(&arg);
    EXPECT_EQ(
        object->Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
        S_OK);
    ASSERT_EQ(result.vt, VT_BSTR);
    EXPECT_EQ(std::u16string(result.bstrVal), u"kept");
    VariantClear(&result);
    EXPECT_EQ(object->Invoke(9, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    object->Release();
}

TEST_F(CoCreateTest, RelativeLibraryNamesAreTakenFromTheRegistryFolder) {
    fs::copy_file(fs::path(BR_TEST_BIN_DIR) / "libPalComponent.so", dir_ / "libPalComponent.so");
    Register("{8A1F0C2E-5B3D-4E6F-9A7B-1C2D3E4F5061}=PalComponent.dll\n");
    IUnknown* object = nullptr;
    ASSERT_EQ(CoCreateInstance(Clsid(kSample), nullptr, CLSCTX_ALL, IID_IUnknown,
                               reinterpret_cast<void**>(&object)),
              S_OK);
    object->Release();
}

TEST_F(CoCreateTest, FailuresGiveTheWindowsResults) {
    const std::string bin = BR_TEST_BIN_DIR;
    const struct {
        const char* name;
        std::string registry;  // the [CLSID] entries; nullptr-like "" for none
        const char16_t* clsid;
        DWORD context;
        HRESULT expected;
    } cases[] = {
        {"no registry file", "", kSample, CLSCTX_INPROC_SERVER, REGDB_E_CLASSNOTREG},
        {"class not listed", "{00000000-1111-2222-3333-444455556666}=PalComponent.dll\n", kSample,
         CLSCTX_INPROC_SERVER, REGDB_E_CLASSNOTREG},
        {"library missing", "{8A1F0C2E-5B3D-4E6F-9A7B-1C2D3E4F5061}=Missing.dll\n", kSample,
         CLSCTX_INPROC_SERVER, HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND)},
        {"no class factory export",
         "{8A1F0C2E-5B3D-4E6F-9A7B-1C2D3E4F5061}=" + bin + "/PalNofactory.dll\n", kSample,
         CLSCTX_INPROC_SERVER, CO_E_ERRORINDLL},
        {"library serves another class",
         "{00000000-1111-2222-3333-444455556666}=" + bin + "/PalComponent.dll\n", kOther,
         CLSCTX_INPROC_SERVER, CLASS_E_CLASSNOTAVAILABLE},
        {"only a local server asked",
         "{8A1F0C2E-5B3D-4E6F-9A7B-1C2D3E4F5061}=" + bin + "/PalComponent.dll\n", kSample,
         CLSCTX_LOCAL_SERVER, REGDB_E_CLASSNOTREG},
    };
    for (const auto& c : cases) {
        fs::remove(dir_ / "components.ini");
        if (!c.registry.empty())
            Register(c.registry);
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(CoCreateInstance(Clsid(c.clsid), nullptr, c.context, IID_IUnknown, &object),
                  c.expected)
            << c.name;
        EXPECT_EQ(object, nullptr) << c.name;
    }
}

TEST_F(CoCreateTest, AggregationIsRefusedByTheFactory) {
    Register("{8A1F0C2E-5B3D-4E6F-9A7B-1C2D3E4F5061}=" + std::string(BR_TEST_BIN_DIR) +
             "/PalComponent.dll\n");
    IUnknown* outer = reinterpret_cast<IUnknown*>(&outer);
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(Clsid(kSample), outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              CLASS_E_NOAGGREGATION);
}

TEST(CoInitialize, CreationNeedsItOnTheCallingThreadAndItBalances) {
    void* object = nullptr;
    CLSID id = Clsid(kSample);
    EXPECT_EQ(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), RPC_E_CHANGED_MODE);
    CoUninitialize();
    EXPECT_NE(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              CO_E_NOTINITIALIZED);
    CoUninitialize();
    EXPECT_EQ(CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object),
              CO_E_NOTINITIALIZED);
}

}  // namespace
