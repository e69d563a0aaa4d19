// Test support: a media receiver and P2P observers that write every call they get into one
// shared journal, one line per call ("B.3 1,2 6"), safe from any thread.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "media_callback.h"
#include "p2p_observer.h"

namespace proxytest {

class Journal {
public:
    void Add(std::string line);
    std::vector<std::string> Lines();
    // Waits until at least count lines are there; false after timeoutMs.
    bool WaitFor(size_t count, int timeoutMs = 5000);

private:
    std::mutex mutex_;
    std::condition_variable added_;
    std::vector<std::string> lines_;
};

// Writes "Name(arguments)", e.g. "PlayFail(-1)" or "SigChange(1,2 3,4 text)".
class RecordingReceiver final : public IMediaCallback {
public:
    explicit RecordingReceiver(Journal& journal) : journal_(journal) {}

    void NotifyPlayStart() override;
    void NotifyPlayPause(int flag) override;
    void NotifyPlayResume() override;
    void NotifyPlayStop() override;
    void NotifyPlayEnd() override;
    void NotifyPlayFail(int code) override;
    void NotifyPlayStatus(int status) override;
    void NotifyDownloadStart() override;
    void NotifyDownloadEnd() override;
    void NotifyDownloadFail(int code) override;
    void NotifySigChange(Sign first, Sign second, const char* text) override;
    void NotifyPlayerDead() override;
    void NotifyDecoderMissing() override;
    void NotifySongSwitch() override;
    void NotifyMvCanSeek() override;
    void NotifyNetBufferProgress(int progress) override;
    void NotifyMvNeedAd() override;
    void NotifyMvBlocked() override;
    void NotifySongStall() override;

private:
    Journal& journal_;
};

// Writes "<name>.<slot> <sign> <fields>", e.g. "A.1 1,2 text 5", "A.3 1,2 6", "A.7".
class RecordingObserver final : public P2PObserver {
public:
    RecordingObserver(Journal& journal, std::string name)
        : journal_(journal), name_(std::move(name)) {}

    void OnP2PNotify1(const Sign& sign, const char* text, int value) override;
    void OnP2PNotify2(const Sign& sign) override;
    void OnP2PNotify3(const Sign& sign, int code) override;
    void OnP2PNotify4(const Sign& sign, int value1, int value2, int value3) override;
    void OnP2PNotify5(const Sign& sign) override;
    void OnP2PNotify6(const Sign& first, const Sign& second, const char* text) override;
    void OnP2PNotify7() override;

private:
    void Add(int slot, const std::string& fields);

    Journal& journal_;
    const std::string name_;
};

std::string SignText(const Sign& sign);  // "first,second"

}  // namespace proxytest
