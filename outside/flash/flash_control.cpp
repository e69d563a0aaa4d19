#include "flash_control.h"

#include <cctype>

#include "installation.h"
#include "persisted_state.h"
#include "stage_layout.h"
#include "text_convert.h"

namespace flash {
namespace {

// "0xRRGGBB", "0xAARRGGBB", "#RRGGBB" or "RRGGBB"; only the colour is kept.
bool ParseColour(const std::string& text, COLORREF* colour) {
    std::string digits = text;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X'))
        digits = digits.substr(2);
    else if (!digits.empty() && digits[0] == '#')
        digits = digits.substr(1);
    if (digits.size() != 6 && digits.size() != 8)
        return false;
    uint32_t value = 0;
    for (char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
        value = value << 4 | uint32_t(std::isdigit(static_cast<unsigned char>(c))
                                          ? c - '0'
                                          : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
    }
    *colour = RGB(value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF);
    return true;
}

}  // namespace

FlashControl::FlashControl(std::string installFolder)
    : installFolder_(std::move(installFolder)), transcript_(ConfiguredTranscript(installFolder_)) {}

FlashControl::~FlashControl() {
    fetch_.reset();
    if (hwnd_ != nullptr) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (sink_ != nullptr)
        sink_->Release();
    if (font_ != nullptr)
        DeleteObject(font_);
}

HRESULT STDMETHODCALLTYPE FlashControl::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
        *ppv = static_cast<IDispatch*>(this);
    } else if (riid == IID_IPalHostedControl) {
        *ppv = static_cast<IPalHostedControl*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE FlashControl::AddRef() {
    return ++refs_;
}

ULONG STDMETHODCALLTYPE FlashControl::Release() {
    ULONG left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE FlashControl::LoadState(const BYTE* data, DWORD size) {
    PersistedState state;
    std::string error;
    if (data == nullptr || !ReadPersistedState(data, size, &state, &error)) {
        transcript_.Note("persisted state not read: " + (data == nullptr ? "no data" : error));
        return E_FAIL;
    }
    if (const PersistedProperty* scale = state.Find("Scale")) {
        for (const ScaleModeName& s : kScaleModeNames)
            if (scale->text == s.stored)
                scaleMode_ = s.mode;
    }
    if (const PersistedProperty* menu = state.Find("Menu"); menu != nullptr && menu->present)
        menu_ = menu->text != "0" && menu->text != "false";
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FlashControl::SetEventSink(IDispatch* sink) {
    if (sink != nullptr)
        sink->AddRef();
    if (sink_ != nullptr)
        sink_->Release();
    sink_ = sink;
    return S_OK;
}

HRESULT FlashControl::PutMovie(BSTR movie, EXCEPINFO* excepInfo) {
    std::string text;
    if (!BstrToUtf8(movie, &text))
        return FailCall(excepInfo, "the movie's name is not text");
    movie_ = text;
    if (hwnd_ != nullptr)
        StartFetch();
    return S_OK;
}

HRESULT FlashControl::PutBGColor(BSTR color, EXCEPINFO* excepInfo) {
    std::string text;
    COLORREF colour = 0;
    if (!BstrToUtf8(color, &text) || !ParseColour(text, &colour))
        return FailCall(excepInfo, "not a colour: " + text);
    bgColorText_ = text;
    bgColor_ = colour;
    if (hwnd_ != nullptr)
        InvalidateRect(hwnd_, nullptr, TRUE);
    return S_OK;
}

HRESULT FlashControl::SetReturnValue(BSTR value, EXCEPINFO* excepInfo) {
    if (!inFlashCall_)
        return FailCall(excepInfo, "SetReturnValue is only valid while a FlashCall is handled");
    std::string text;
    if (!BstrToUtf8(value, &text))
        return FailCall(excepInfo, "the return value is not text");
    returnValue_ = text;
    return S_OK;
}

void FlashControl::FireEvent(DISPID id, VARIANT* argument) {
    IDispatch* sink = sink_;
    if (sink == nullptr)
        return;
    sink->AddRef();  // the handler may disconnect the sink
    DISPPARAMS params{argument, nullptr, 1, 0};
    sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    sink->Release();
}

void FlashControl::FireNumberEvent(DISPID id, LONG value) {
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_I4;
    argument.lVal = value;
    FireEvent(id, &argument);
}

// The player makes one call at a time; the flag also keeps a handler that runs a message loop
// from starting a second call (a timer, a click) or replacing the movie under the player.
std::optional<std::string> FlashControl::FlashCall(const std::string& request) {
    if (inFlashCall_)
        return std::nullopt;
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BSTR;
    argument.bstrVal = Utf8ToBstr(request);
    inFlashCall_ = true;
    returnValue_.reset();
    FireEvent(kEventFlashCall, &argument);
    inFlashCall_ = false;
    VariantClear(&argument);
    std::optional<std::string> reply = std::move(returnValue_);
    returnValue_.reset();
    return reply;
}

uint64_t FlashControl::NowMs() const {
    return uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - epoch_)
                        .count());
}

}  // namespace flash
