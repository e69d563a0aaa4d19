#include "fake_receivers.h"

#include <chrono>

namespace proxytest {

void Journal::Add(std::string line) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(std::move(line));
    }
    added_.notify_all();
}

std::vector<std::string> Journal::Lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

bool Journal::WaitFor(size_t count, int timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return added_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                           [&] { return lines_.size() >= count; });
}

std::string SignText(const Sign& sign) {
    return std::to_string(sign.first) + "," + std::to_string(sign.second);
}

namespace {
std::string Call(const char* name, const std::string& arguments = "") {
    return std::string(name) + "(" + arguments + ")";
}
}  // namespace

void RecordingReceiver::NotifyPlayStart() {
    journal_.Add(Call("PlayStart"));
}
void RecordingReceiver::NotifyPlayPause(int flag) {
    journal_.Add(Call("PlayPause", std::to_string(flag)));
}
void RecordingReceiver::NotifyPlayResume() {
    journal_.Add(Call("PlayResume"));
}
void RecordingReceiver::NotifyPlayStop() {
    journal_.Add(Call("PlayStop"));
}
void RecordingReceiver::NotifyPlayEnd() {
    journal_.Add(Call("PlayEnd"));
}
void RecordingReceiver::NotifyPlayFail(int code) {
    journal_.Add(Call("PlayFail", std::to_string(code)));
}
void RecordingReceiver::NotifyPlayStatus(int status) {
    journal_.Add(Call("PlayStatus", std::to_string(status)));
}
void RecordingReceiver::NotifyDownloadStart() {
    journal_.Add(Call("DownloadStart"));
}
void RecordingReceiver::NotifyDownloadEnd() {
    journal_.Add(Call("DownloadEnd"));
}
void RecordingReceiver::NotifyDownloadFail(int code) {
    journal_.Add(Call("DownloadFail", std::to_string(code)));
}
void RecordingReceiver::NotifySigChange(Sign first, Sign second, const char* text) {
    journal_.Add(Call("SigChange", SignText(first) + " " + SignText(second) + " " + text));
}
void RecordingReceiver::NotifyPlayerDead() {
    journal_.Add(Call("PlayerDead"));
}
void RecordingReceiver::NotifyDecoderMissing() {
    journal_.Add(Call("DecoderMissing"));
}
void RecordingReceiver::NotifySongSwitch() {
    journal_.Add(Call("SongSwitch"));
}
void RecordingReceiver::NotifyMvCanSeek() {
    journal_.Add(Call("MvCanSeek"));
}
void RecordingReceiver::NotifyNetBufferProgress(int progress) {
    journal_.Add(Call("NetBufferProgress", std::to_string(progress)));
}
void RecordingReceiver::NotifyMvNeedAd() {
    journal_.Add(Call("MvNeedAd"));
}
void RecordingReceiver::NotifyMvBlocked() {
    journal_.Add(Call("MvBlocked"));
}
void RecordingReceiver::NotifySongStall() {
    journal_.Add(Call("SongStall"));
}

void RecordingObserver::Add(int slot, const std::string& fields) {
    journal_.Add(name_ + "." + std::to_string(slot) + (fields.empty() ? "" : " " + fields));
}

void RecordingObserver::OnP2PNotify1(const Sign& sign, const char* text, int value) {
    Add(1, SignText(sign) + " " + text + " " + std::to_string(value));
}
void RecordingObserver::OnP2PNotify2(const Sign& sign) {
    Add(2, SignText(sign));
}
void RecordingObserver::OnP2PNotify3(const Sign& sign, int code) {
    Add(3, SignText(sign) + " " + std::to_string(code));
}
void RecordingObserver::OnP2PNotify4(const Sign& sign, int value1, int value2, int value3) {
    Add(4, SignText(sign) + " " + std::to_string(value1) + " " + std::to_string(value2) + " " +
               std::to_string(value3));
}
void RecordingObserver::OnP2PNotify5(const Sign& sign) {
    Add(5, SignText(sign));
}
void RecordingObserver::OnP2PNotify6(const Sign& first, const Sign& second, const char* text) {
    Add(6, SignText(first) + " " + SignText(second) + " " + text);
}
void RecordingObserver::OnP2PNotify7() {
    Add(7, "");
}

}  // namespace proxytest
