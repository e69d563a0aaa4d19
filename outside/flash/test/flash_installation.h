// Test support: the control's library in an installation of the tests' own, created once per
// test process (a copy of the library, its registration, named through PAL_COMPONENT_REGISTRY),
// with a configuration each test writes; the control made through CoCreateInstance; the
// dispatch calls with their arguments; a window to host it and a message pump that waits for a
// condition.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "windows.h"

namespace flashtest {

// The installation's folder (made at the first call, removed when the process ends).
const std::string& InstallationFolder();

// Writes Conf/default/config.ini with the [Flash] lines (each "Key=Value") and, unless told
// otherwise, points the transcript at a file of its own, which starts empty.
class ScopedConfig {
public:
    enum class Transcript { kFile, kNotNamed };
    explicit ScopedConfig(const std::vector<std::string>& lines = {},
                          Transcript transcript = Transcript::kFile);
    ~ScopedConfig();
    const std::string& TranscriptPath() const { return transcript_; }
    std::vector<std::string> TranscriptLines() const;

private:
    std::string transcript_;
};

// CoInitialize for the test's thread, and the control created through the registry.
class ScopedControl {
public:
    ScopedControl();
    ~ScopedControl();
    IDispatch* Dispatch() const { return dispatch_; }
    IPalHostedControl* Hosted() const { return hosted_; }
    HRESULT created() const { return created_; }

private:
    HRESULT created_ = E_FAIL;
    IDispatch* dispatch_ = nullptr;
    IPalHostedControl* hosted_ = nullptr;
};

// An argument of a dispatch call; it owns its BSTR.
struct Arg {
    static Arg Text(const std::string& utf8);
    static Arg Number(LONG value);
    VARIANT v;
};

struct CallResult {
    HRESULT hr;
    VARIANT value;            // VT_EMPTY unless the call gave one
    UINT argErr;              // 0xFFFFFFFF unless the control set it
    std::string description;  // the EXCEPINFO's, for DISP_E_EXCEPTION
};

// Invoke with the arguments in their natural order; a put names its value DISPID_PROPERTYPUT.
CallResult Call(IDispatch* control, DISPID id, WORD flags, std::vector<Arg> args = {});
// Puts a text property and expects it to succeed.
void PutText(IDispatch* control, DISPID id, const std::string& utf8);

// A top-level window of the test's thread to host the control, destroyed with the object.
class HostWindow {
public:
    HostWindow(int width, int height);
    ~HostWindow();
    HWND hwnd() const { return hwnd_; }

private:
    HWND hwnd_ = nullptr;
};

// Dispatches the thread's messages until done() holds; false when the limit passed first.
bool PumpUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(10));

// Writes a movie file under the installation's folder and returns its path.
std::string WriteMovie(const std::string& name, const std::string& text);

// The window's pixels as it saves them; Pixel gives 0x00RRGGBB, 0xFFFFFFFF outside.
class WindowPicture {
public:
    explicit WindowPicture(HWND hwnd);
    uint32_t Pixel(int x, int y) const;

private:
    int width_ = 0, height_ = 0;
    std::vector<uint32_t> pixels_;
};

}  // namespace flashtest
