#include "host_receiver.h"

#include <cstdarg>
#include <cstdio>

namespace {

const DWORD g_startTick = GetTickCount();

void Note(const char* name) {
    HostPrint("notification %s", name);
}

}  // namespace

void HostPrint(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    const DWORD elapsed = GetTickCount() - g_startTick;
    // One call per line, so lines of the delivering thread and the main thread never mix.
    std::printf("[%3lu.%03lu s] %s\n", static_cast<unsigned long>(elapsed / 1000),
                static_cast<unsigned long>(elapsed % 1000), text);
    std::fflush(stdout);
}

CHostReceiver::CHostReceiver()
    : started_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      paused_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      resumed_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      ended_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      failed_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CHostReceiver::~CHostReceiver() {
    for (HANDLE event : {started_, paused_, resumed_, ended_, failed_}) {
        CloseHandle(event);
    }
}

void CHostReceiver::NotifyPlayStart() {
    Note("NotifyPlayStart");
    SetEvent(started_);
}
void CHostReceiver::NotifyPlayPause(int flag) {
    HostPrint("notification NotifyPlayPause(%d)", flag);
    SetEvent(paused_);
}
void CHostReceiver::NotifyPlayResume() {
    Note("NotifyPlayResume");
    SetEvent(resumed_);
}
void CHostReceiver::NotifyPlayStop() {
    Note("NotifyPlayStop");
}
void CHostReceiver::NotifyPlayEnd() {
    Note("NotifyPlayEnd");
    SetEvent(ended_);
}
void CHostReceiver::NotifyPlayFail(int code) {
    HostPrint("notification NotifyPlayFail(%d)", code);
    SetEvent(failed_);
}
void CHostReceiver::NotifyPlayStatus(int status) {
    HostPrint("notification NotifyPlayStatus(%d)", status);
}
void CHostReceiver::NotifyDownloadStart() {
    Note("NotifyDownloadStart");
}
void CHostReceiver::NotifyDownloadEnd() {
    Note("NotifyDownloadEnd");
}
void CHostReceiver::NotifyDownloadFail(int code) {
    HostPrint("notification NotifyDownloadFail(%d)", code);
}
void CHostReceiver::NotifySigChange(Sign first, Sign second, const char* text) {
    HostPrint("notification NotifySigChange(%u,%u %u,%u %s)", first.first, first.second,
              second.first, second.second, text ? text : "");
}
void CHostReceiver::NotifyPlayerDead() {
    Note("NotifyPlayerDead");
}
void CHostReceiver::NotifyDecoderMissing() {
    Note("NotifyDecoderMissing");
}
void CHostReceiver::NotifySongSwitch() {
    Note("NotifySongSwitch");
}
void CHostReceiver::NotifyMvCanSeek() {
    Note("NotifyMvCanSeek");
}
void CHostReceiver::NotifyNetBufferProgress(int progress) {
    HostPrint("notification NotifyNetBufferProgress(%d)", progress);
}
void CHostReceiver::NotifyMvNeedAd() {
    Note("NotifyMvNeedAd");
}
void CHostReceiver::NotifyMvBlocked() {
    Note("NotifyMvBlocked");
}
void CHostReceiver::NotifySongStall() {
    Note("NotifySongStall");
}

void CHostServiceSink::OnServiceLost() {
    HostPrint("service lost; the proxy starts it again");
}
void CHostServiceSink::OnServiceRunning() {
    HostPrint("service running again");
}
