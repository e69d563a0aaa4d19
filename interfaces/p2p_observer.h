// P2PObserver: the observer of a P2P download. The client implements it, the proxy calls it,
// the service's P2P stub implements it once more and the engine calls it. The slot order is an
// interface between separately built modules and is fixed: the virtual destructor first, then
// OnP2PNotify1 to OnP2PNotify7. Every body is empty, so an implementer overrides only what it
// needs. Sign references and text pointers are valid only during the call.
#pragma once

#include "sign.h"

class P2PObserver {
public:
    P2PObserver() = default;
    // Slot 0. Only the owner deletes an observer; the proxy and the engine never do.
    virtual ~P2PObserver() {}

    virtual void OnP2PNotify1(const Sign& /*sign*/, const char* /*text*/, int /*value*/) {}
    // The proxy forgets the sign after this one.
    virtual void OnP2PNotify2(const Sign& /*sign*/) {}
    // Code P2P_CODE_NOT_RESPONDING: the service is lost or does not respond.
    virtual void OnP2PNotify3(const Sign& /*sign*/, int /*code*/) {}
    virtual void OnP2PNotify4(const Sign& /*sign*/, int /*value1*/, int /*value2*/,
                              int /*value3*/) {}
    virtual void OnP2PNotify5(const Sign& /*sign*/) {}
    // Observers are found by the first sign; the second is only passed on.
    virtual void OnP2PNotify6(const Sign& /*first*/, const Sign& /*second*/, const char* /*text*/) {
    }
    // Only the proxy's reset calls it, right after slot 3; the service never forwards it.
    virtual void OnP2PNotify7() {}
};
