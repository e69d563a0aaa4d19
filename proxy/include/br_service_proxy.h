// The interface of libBrServiceProxy.so for host programs: 15 plain C functions, exported under
// their undecorated names and nothing else, and the sink interface IServiceNotify that a host
// implements to hear about a lost service.
//
// Calling order: InitProxy once; poll IsRunCoreServer until it is true; GetPlayerCoreProxy, the
// P2P functions and RegistNotify as needed; UnRegistNotify; StopCoreServer; UnInitProxy last.
// The host never deletes the objects it is handed: the player core and its play object belong
// to the library until UnInitProxy.
#pragma once

#include <string>

#include "p2p_observer.h"
#include "player_core.h"
#include "sign.h"

// A host's sink for the state of the service. The library's watchdog calls it on its own
// thread with the library's lock held: a sink may call the exports, but must not wait for
// another thread that calls them.
class IServiceNotify {
public:
    virtual void OnServiceLost() = 0;     // the service was found gone (once per loss)
    virtual void OnServiceRunning() = 0;  // the service answers again after a loss

protected:
    ~IServiceNotify() = default;
};

extern "C" {

// Creates the library's objects and starts the service when it does not answer; only the
// first call of a process that succeeds does anything. False, with nothing created or started,
// when the proxy's endpoint is held by another host of the same runtime root: one host per user
// and runtime root is supported.
bool InitProxy();
// Deletes the library's objects and stops the watchdog. Always true.
bool UnInitProxy();
// The player core (the same object until UnInitProxy); null before InitProxy.
IPlayerCore* GetPlayerCoreProxy();
// True when the service answers the running query.
bool IsRunCoreServer();
// Starts the service when it does not answer, and the watchdog; without the library's objects
// nothing. Always true.
bool StartCoreServer();
// Stops the watchdog and asks the service to quit: its answer, or true when it could not be
// asked (the old service program is killed instead).
bool StopCoreServer();
// Adds a sink (once); null is ignored.
void RegistNotify(IServiceNotify* sink);
// Removes a sink; null or unknown sinks are ignored.
void UnRegistNotify(IServiceNotify* sink);

// P2P downloads; without the library's objects (before InitProxy, after UnInitProxy)
// P2PStartDown returns false and the others do nothing.
bool P2PStartDown(const Sign* sign, const char* text, const int* value, int int2, int int3,
                  P2PObserver* observer, bool flag);
void P2PStopDown(const Sign* sign, P2PObserver* observer);
void P2PDelRes(const Sign* sign, P2PObserver* observer);
void P2PGetResInfo(const Sign* sign, int* value, std::string* text);
void P2PEnableVIPService(int value, bool flag, int third);
void P2PStopAll();
void P2PSetSysMsgWnd(int window);

}  // extern "C"
