// Notifications from the engines' threads to the proxy, and the gate that keeps them from
// overlapping the message center's shutdown.
//
// A notification is sent on the engine's own thread (INFINITE, so the message center calls the
// endpoint directly) and can take as long as the proxy's handler. The message center must not be
// uninitialised or deleted while such a send runs on it. So every send reads g_ServiceMsgCenter
// under one process-wide lock and counts itself on that message center while it runs;
// CServiceMsgCenter::UnInit closes the message center's gate under the same lock and waits for
// the sends under way before the endpoint goes. Once the gate is closed, or g_ServiceMsgCenter
// is null, notifications are dropped.
//
// The gate opens when CServiceMsgCenter::Init has returned. The program publishes the message
// center before its Init (the stubs take their reply buffers from it as soon as the endpoint
// delivers), and Init stores the endpoint only after the endpoint has begun to deliver; so a
// notification raised in between, by a command that arrived during Init, waits at the gate until
// Init has returned and is then sent.
#pragma once

class CServiceMsgCenter;
class CStreamWriter;

// Sends the payload to PROXY_ENDPOINT_ID on the channel through g_ServiceMsgCenter, reserved 0
// and time-out INFINITE, and ignores the result. Dropped when the message center is null or its
// gate is closed; waits while the gate is not open yet.
void SendServiceNotification(int channel, const CStreamWriter& payload);

// Opens the message center's gate (its Init has returned) and lets the waiting senders go on.
void OpenServiceNotifications(CServiceMsgCenter& center);

// Closes the message center's gate: every later notification is dropped. Returns once no send
// that passed the gate earlier is still running on it (a send of the calling thread itself,
// further up its stack, is not waited for).
void CloseServiceNotifications(CServiceMsgCenter& center);
// The same, and clears g_ServiceMsgCenter when it still points at the message center: its
// destructor does this, so no sender can reach the object once it is gone.
void RetireServiceNotifications(CServiceMsgCenter& center);
