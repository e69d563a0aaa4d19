// The player protocol on CHANNEL_PLAYER: command numbers (proxy to service) and notification
// numbers (service to proxy). Every payload starts with its number as a 4-byte little-endian
// int; the fields that follow are written and read with the byte stream.
#pragma once

// Commands. 3 to 19 are the IPlayerCore slot + 1; 2 is never sent.
constexpr int PLAYER_CMD_INIT = 1;  // int, int, int; the service calls SetNumberD(second)
constexpr int PLAYER_CMD_OPEN = 3;  // PlayRequest, 2592 raw bytes
constexpr int PLAYER_CMD_PLAY = 4;
constexpr int PLAYER_CMD_PAUSE = 5;
constexpr int PLAYER_CMD_STOP = 6;
constexpr int PLAYER_CMD_SET_POSITION = 7;   // int
constexpr int PLAYER_CMD_SET_VOLUME = 8;     // int
constexpr int PLAYER_CMD_SET_FLAG = 9;       // byte
constexpr int PLAYER_CMD_SET_NUMBER_A = 10;  // int
constexpr int PLAYER_CMD_SET_QUAD = 11;      // 16-byte record, one-way
constexpr int PLAYER_CMD_SET_NUMBER_B = 12;  // int, one-way
constexpr int PLAYER_CMD_SET_NUMBER_C = 13;  // int, one-way
constexpr int PLAYER_CMD_SET_BLOCK = 14;     // 56-byte block, one-way
constexpr int PLAYER_CMD_QUERY_NUMBER = 15;  // int, default PLAYER_QUERY_NUMBER_DEFAULT
constexpr int PLAYER_CMD_SET_NUMBER_D = 16;  // int
constexpr int PLAYER_CMD_SET_NUMBER_E = 17;  // int, one-way
constexpr int PLAYER_CMD_QUERY_STATUS = 18;
constexpr int PLAYER_CMD_GET_PLAY_OBJECT = 19;  // replied with the play-object snapshot
constexpr int PLAYER_CMD_FIRST = PLAYER_CMD_INIT;
constexpr int PLAYER_CMD_LAST = PLAYER_CMD_GET_PLAY_OBJECT;

// The service's value for a missing int of PLAYER_CMD_QUERY_NUMBER; every other missing int
// or byte of a command is 0.
constexpr int PLAYER_QUERY_NUMBER_DEFAULT = 1;
// An int reply: 4 bytes holding the operation's result.
constexpr int PLAYER_INT_REPLY_SIZE = 4;

// Notifications. Notification n stands for IMediaCallback slot n - 1; 7 (NotifyPlayStatus) is
// never sent and NotifySongStall (slot 18) has no number.
constexpr int PLAYER_NOTIFY_PLAY_START = 1;
constexpr int PLAYER_NOTIFY_PLAY_PAUSE = 2;  // byte: the argument's low byte
constexpr int PLAYER_NOTIFY_PLAY_RESUME = 3;
constexpr int PLAYER_NOTIFY_PLAY_STOP = 4;
constexpr int PLAYER_NOTIFY_PLAY_END = 5;
constexpr int PLAYER_NOTIFY_PLAY_FAIL = 6;    // int code
constexpr int PLAYER_NOTIFY_PLAY_STATUS = 7;  // never sent
constexpr int PLAYER_NOTIFY_DOWNLOAD_START = 8;
constexpr int PLAYER_NOTIFY_DOWNLOAD_END = 9;
constexpr int PLAYER_NOTIFY_DOWNLOAD_FAIL = 10;  // int code
constexpr int PLAYER_NOTIFY_SIG_CHANGE = 11;     // Sign, Sign, text
constexpr int PLAYER_NOTIFY_PLAYER_DEAD = 12;
constexpr int PLAYER_NOTIFY_DECODER_MISSING = 13;
constexpr int PLAYER_NOTIFY_SONG_SWITCH = 14;
constexpr int PLAYER_NOTIFY_MV_CAN_SEEK = 15;
constexpr int PLAYER_NOTIFY_NET_BUFFER_PROGRESS = 16;  // int
constexpr int PLAYER_NOTIFY_MV_NEED_AD = 17;
constexpr int PLAYER_NOTIFY_MV_BLOCKED = 18;
constexpr int PLAYER_NOTIFY_FIRST = PLAYER_NOTIFY_PLAY_START;
constexpr int PLAYER_NOTIFY_LAST = PLAYER_NOTIFY_MV_BLOCKED;

// The play-object snapshot (reply of PLAYER_CMD_GET_PLAY_OBJECT) carries the object's int array
// as a byte length and that many bytes; the client's cache holds at most this many ints.
constexpr int PLAY_OBJECT_DATA_CAPACITY = 256;
