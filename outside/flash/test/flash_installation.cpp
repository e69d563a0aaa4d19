#include "flash_installation.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "test_root.h"
#include "wait_until.h"

namespace flashtest {
namespace {

namespace fs = std::filesystem;

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
constexpr CLSID kFlashClsid = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

struct Installation {
    Installation() {
        folder = brtest::MakeTempDir("flash-install");
        fs::create_directories(folder + "/Conf/default");
        fs::copy_file(std::string(BR_BIN_DIR) + "/libFlash.so", folder + "/libFlash.so");
        brtest::WriteFile(folder + "/components.ini",
                          "[CLSID]\n{D27CDB6E-AE6D-11CF-96B8-444553540000}=Flash.dll\n");
    }
    ~Installation() { brtest::RemoveTree(folder); }
    std::string folder;
};

std::string TestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return info == nullptr ? "none" : std::string(info->test_suite_name()) + "." + info->name();
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

const std::string& InstallationFolder() {
    static Installation installation;
    return installation.folder;
}

ScopedConfig::ScopedConfig(const std::vector<std::string>& lines, Transcript transcript) {
    transcript_ = InstallationFolder() + "/transcript-" + TestName() + ".txt";
    fs::remove(transcript_);
    std::string config = "[Flash]\n";
    if (transcript == Transcript::kFile)
        config += "Transcript=" + fs::path(transcript_).filename().string() + "\n";
    for (const std::string& line : lines) config += line + "\n";
    brtest::WriteFile(InstallationFolder() + "/Conf/default/config.ini", config);
}

ScopedConfig::~ScopedConfig() {
    fs::remove(transcript_);
}

std::vector<std::string> ScopedConfig::TranscriptLines() const {
    std::vector<std::string> lines;
    std::istringstream in(brtest::ReadFile(transcript_));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

ScopedControl::ScopedControl() {
    setenv("PAL_COMPONENT_REGISTRY", (InstallationFolder() + "/components.ini").c_str(), 1);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    created_ = CoCreateInstance(kFlashClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(&dispatch_));
    if (SUCCEEDED(created_))
        dispatch_->QueryInterface(IID_IPalHostedControl, reinterpret_cast<void**>(&hosted_));
}

ScopedControl::~ScopedControl() {
    if (hosted_ != nullptr)
        hosted_->Release();
    if (dispatch_ != nullptr)
        dispatch_->Release();
    CoUninitialize();
}

Arg Arg::Text(const std::string& utf8) {
    Arg a;
    VariantInit(&a.v);
    a.v.vt = VT_BSTR;
    std::u16string wide(utf8.size() + 1, u'\0');
    int units = utf8.empty() ? 0
                             : MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()),
                                                   wide.data(), int(wide.size()));
    a.v.bstrVal = SysAllocStringLen(wide.data(), UINT(units));
    return a;
}

Arg Arg::Number(LONG value) {
    Arg a;
    VariantInit(&a.v);
    a.v.vt = VT_I4;
    a.v.lVal = value;
    return a;
}

CallResult Call(IDispatch* control, DISPID id, WORD flags, std::vector<Arg> args) {
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->v);
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    DISPPARAMS params{reversed.data(), put ? &named : nullptr, UINT(reversed.size()),
                      put ? 1u : 0u};
    CallResult r{};
    VariantInit(&r.value);
    r.argErr = 0xFFFFFFFFu;
    EXCEPINFO info{};
    r.hr = control->Invoke(id, IID_NULL, 0, flags, &params, &r.value, &info, &r.argErr);
    if (info.bstrDescription != nullptr) {
        for (UINT i = 0; i < SysStringLen(info.bstrDescription); ++i)
            r.description += char(info.bstrDescription[i]);
    }
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    for (Arg& a : args) VariantClear(&a.v);
    return r;
}

void PutText(IDispatch* control, DISPID id, const std::string& utf8) {
    CallResult r = Call(control, id, DISPATCH_PROPERTYPUT, {Arg::Text(utf8)});
    EXPECT_EQ(r.hr, S_OK) << r.description;
}

HostWindow::HostWindow(int width, int height) {
    static bool registered = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = HostProc;
        wc.lpszClassName = "FlashTestHost";
        return RegisterClassA(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    hwnd_ = CreateWindowExA(0, "FlashTestHost", "host", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                            nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(hwnd_, nullptr);
}

HostWindow::~HostWindow() {
    if (hwnd_ != nullptr)
        DestroyWindow(hwnd_);
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    return brtest::WaitUntil(
        [&] {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            return done();
        },
        limit);
}

std::string WriteMovie(const std::string& name, const std::string& text) {
    std::string path = InstallationFolder() + "/" + name;
    EXPECT_TRUE(brtest::WriteFile(path, text));
    return path;
}

WindowPicture::WindowPicture(HWND hwnd) {
    std::string file = InstallationFolder() + "/picture-" + TestName() + ".png";
    EXPECT_TRUE(PalSaveWindowPngA(hwnd, file.c_str()));
    HBITMAP bitmap = PalLoadPngA(file.c_str(), nullptr);
    fs::remove(file);
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) {
        ADD_FAILURE() << "the window's picture cannot be read";
    } else {
        width_ = info.bmWidth;
        height_ = info.bmHeight;
        const auto* first = static_cast<const uint32_t*>(info.bmBits);
        pixels_.assign(first, first + size_t(width_) * size_t(height_));
    }
    if (bitmap != nullptr)
        DeleteObject(bitmap);
}

uint32_t WindowPicture::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0xFFFFFFFFu;
    return pixels_[size_t(y) * size_t(width_) + size_t(x)] & 0x00FFFFFFu;
}

}  // namespace flashtest
