// The download engine: plain functions exported under their undecorated names. StartDown
// fetches the resource that its text addresses (http:// or https://) into the cache folder, one
// file per Sign, on a thread of its own, and reports through the observer it was given, always
// from an engine thread, never from inside a call of the engine. README.md gives the reports
// (observer slots and codes) and the cache folder. BrMV's StartP2P starts the engine and its
// StopP2P stops it.
#pragma once

#include <string>

#include <windows.h>

#include "p2p_observer.h"
#include "sign.h"

#define SWARMGET_API extern "C" __attribute__((visibility("default")))

// Starts downloading `address` for `sign`; true when accepted. Refused (false): a null sign, an
// address that is not http:// or https://, a sign whose download is running for another
// address, an engine that is not started, or no cache folder (no runtime root). A sign whose
// download is running for the same address is accepted and the running download goes on.
// `value1` (never written), `value2`, `value3` and `flag` are accepted and not used by this
// engine. A null observer downloads without reports.
SWARMGET_API bool StartDown(const Sign* sign, const char* address, int* value1, int value2,
                            int value3, P2PObserver* observer, bool flag);
// Stops the sign's download and discards its partial file; no report for the stop. When it
// returns, no observer call for the sign runs or follows: a running one on the notifier
// thread is waited for, unless StopDown is called from inside it.
SWARMGET_API void StopDown(const Sign* sign, P2PObserver* observer);
// Stops the sign's download and deletes its file, then reports slot 2 to `observer` (when not
// null and the engine is started).
SWARMGET_API void DelRes(const Sign* sign, P2PObserver* observer);
// Percent done and the local file: while downloading, 0-99 and the file's final path; for a
// complete file in the cache, 100 and its path; otherwise -1 and an empty text.
SWARMGET_API void GetResInfo(const Sign* sign, int* value, std::string* text);
// No effect: this engine has no accelerated service to enable.
SWARMGET_API void EnableVIPService(int value, bool enable, int reserved);
// Stops every running download; each reports slot 2 as its last report.
SWARMGET_API void StopAll();
// No effect: this engine reports only through observers, never to a window.
SWARMGET_API void SetSysMsgWnd(HWND window);
// Chooses the cache folder (the first text; empty keeps the default of README.md), creates it
// and removes temporary files that an earlier run left there. The second text is not used.
SWARMGET_API void StartBRMV(const char* cacheDir, const char* reserved);

// Codes of slot 3 (the download failed). Code 6 is never sent: the proxy keeps it for a lost
// service. HTTP statuses 300-599 are sent as they are.
constexpr int SWARMGET_FAIL_CONNECT = 1;   // no connection: name, refusal, connect time limit
constexpr int SWARMGET_FAIL_STALLED = 2;   // connected, then nothing for the stall limit
constexpr int SWARMGET_FAIL_BROKEN = 3;    // the connection broke or the body came short
constexpr int SWARMGET_FAIL_LOCAL = 4;     // the cache folder or file could not be written
constexpr int SWARMGET_FAIL_PROTOCOL = 5;  // any other transfer error (TLS, redirects, ...)
