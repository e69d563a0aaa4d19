// The P2P protocol on CHANNEL_P2P: command ids (proxy to service, 5 to 11) and notification ids
// (service to proxy, 1 to 6). Notification n is the engine's call of P2PObserver slot n. Every
// payload starts with its id as a 4-byte little-endian int; the fields follow packed, written
// and read with the byte stream (WriteStartDown / ReadStartDown and the other composites).
#pragma once

// Commands. Sizes count the id; n is the text's length without its NUL.
constexpr int P2P_CMD_START_DOWN = 5;  // Sign, text, int 1, 2, 3, observer tag, flag: 30 + n; call
constexpr int P2P_CMD_STOP_DOWN = 6;   // Sign, observer tag: 16; post
constexpr int P2P_CMD_DEL_RES = 7;     // Sign, observer tag: 16; post
constexpr int P2P_CMD_GET_RES_INFO = 8;        // Sign: 12; call, replied with int and text
constexpr int P2P_CMD_ENABLE_VIP_SERVICE = 9;  // int, flag: 9; post
constexpr int P2P_CMD_STOP_ALL = 10;           // no fields: 4; post
constexpr int P2P_CMD_SET_SYS_MSG_WND = 11;    // int window handle: 8; post
constexpr int P2P_CMD_FIRST = P2P_CMD_START_DOWN;
constexpr int P2P_CMD_LAST = P2P_CMD_SET_SYS_MSG_WND;

// Notifications, each a call of the observer slot of the same number.
constexpr int P2P_NOTIFY_1 = 1;  // Sign, text, int value: 17 + n
constexpr int P2P_NOTIFY_2 = 2;  // Sign: 12; the proxy then forgets the sign
constexpr int P2P_NOTIFY_3 = 3;  // Sign, int code: 16
constexpr int P2P_NOTIFY_4 = 4;  // Sign, int, int, int: 24
constexpr int P2P_NOTIFY_5 = 5;  // Sign: 12
constexpr int P2P_NOTIFY_6 = 6;  // first Sign, second Sign, text: 21 + n; matched on the first
constexpr int P2P_NOTIFY_FIRST = P2P_NOTIFY_1;
constexpr int P2P_NOTIFY_LAST = P2P_NOTIFY_6;

// The service's value for a missing int 3 of P2P_CMD_START_DOWN.
constexpr int P2P_START_DOWN_DEFAULT_INT3 = 3;
// Code of OnP2PNotify3 that means the service is lost or does not respond: the proxy's own
// report to every observer, and its default for a notification 3 without a code. An engine
// never sends it.
constexpr int P2P_CODE_NOT_RESPONDING = 6;
// The reply of P2P_CMD_START_DOWN: one byte, non-zero when the engine accepted the download.
constexpr int P2P_START_DOWN_REPLY_SIZE = 1;
