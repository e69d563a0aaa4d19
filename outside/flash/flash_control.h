// The Flash control's stand-in as a component: its dispatch calls (control_dispatch.cpp), its
// events, its persisted state and its window (control_window.cpp), where it loads and plays
// movies with a MoviePlayer. Everything but the fetch of a movie happens on the thread of the
// control's window, which is the thread of its container.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "movie_fetch.h"
#include "movie_player.h"
#include "stage_layout.h"
#include "transcript.h"
#include "windows.h"

namespace flash {

// Dispatch ids of the calls and of the events.
inline constexpr DISPID kDispMovie = 0x66;
inline constexpr DISPID kDispScaleMode = 0x78;
inline constexpr DISPID kDispFlashVersion = 0x84;
inline constexpr DISPID kDispBGColor = 0x8C;
inline constexpr DISPID kDispSetReturnValue = 0xC7;
inline constexpr DISPID kEventReadyStateChange = -609;
inline constexpr DISPID kEventProgress = 0x7A6;
inline constexpr DISPID kEventFlashCall = 0xC5;

// The ready state the control reports once a movie is loaded and playing.
inline constexpr LONG kReadyStateComplete = 4;

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
inline constexpr CLSID kFlashClsid = {
    0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// Fails a call with DISP_E_EXCEPTION, the reason in the EXCEPINFO when one is given.
HRESULT FailCall(EXCEPINFO* excepInfo, const std::string& reason);

class FlashControl final : public IDispatch, public IPalHostedControl, private CallHost {
public:
    explicit FlashControl(std::string installFolder);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                     UINT* argErr) override;

    HRESULT STDMETHODCALLTYPE LoadState(const BYTE* data, DWORD size) override;
    HRESULT STDMETHODCALLTYPE SetEventSink(IDispatch* sink) override;
    HRESULT STDMETHODCALLTYPE CreateControlWindow(HWND parent, const RECT* rect, UINT id,
                                                  HWND* phwnd) override;

    // The window's procedure hands its messages here (control_window.cpp).
    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    ~FlashControl();

    // The calls, once their kind, arguments and types have been checked.
    HRESULT PutMovie(BSTR movie, EXCEPINFO* excepInfo);
    HRESULT PutBGColor(BSTR color, EXCEPINFO* excepInfo);
    HRESULT SetReturnValue(BSTR value, EXCEPINFO* excepInfo);

    std::optional<std::string> FlashCall(const std::string& request) override;
    void FireEvent(DISPID id, VARIANT* argument);
    void FireNumberEvent(DISPID id, LONG value);

    void StartFetch();
    void OnFetchProgress(WPARAM generation, LPARAM percent);
    void OnFetchDone(WPARAM generation);
    void Schedule(std::optional<uint64_t> dueMs);
    void OnStep();
    void OnClick(int x, int y);
    void OnContextMenu(int x, int y);
    StageLayout Layout() const;  // of the movie's stage in the window's area
    HFONT FontOfHeight(int height);
    void Paint(HWND hwnd);
    void Flush();
    uint64_t NowMs() const;

    std::atomic<ULONG> refs_{1};
    const std::string installFolder_;
    Transcript transcript_;
    IDispatch* sink_ = nullptr;
    HWND hwnd_ = nullptr;

    // Properties.
    std::string movie_;
    LONG scaleMode_ = kScaleShowAll;
    std::string bgColorText_;
    COLORREF bgColor_ = RGB(255, 255, 255);
    bool menu_ = true;

    // Loading: the fetch thread leaves its result here and posts to the window.
    std::mutex fetchLock_;
    std::optional<FetchResult> fetched_;
    uint64_t generation_ = 0;
    int progressFired_ = -1;
    std::unique_ptr<MovieFetch> fetch_;

    // Playing.
    std::unique_ptr<MoviePlayer> player_;
    size_t written_ = 0;  // transcript entries of the player already written
    bool inFlashCall_ = false;
    std::optional<std::string> returnValue_;
    const std::chrono::steady_clock::time_point epoch_ = std::chrono::steady_clock::now();
    HFONT font_ = nullptr;
    int fontHeight_ = 0;
};

}  // namespace flash
