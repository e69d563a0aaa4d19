// Test support for the P2P proxy: signs and observers by short names, notification payloads,
// and a readable account of the commands the fake service received.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "fake_receivers.h"
#include "fake_service.h"
#include "sign.h"

namespace proxytest {

// Sign n of a test: n, 100 + n. Signs order as their numbers.
inline Sign TestSign(int n) {
    return Sign(n, 100 + n);
}

// Observers "A", "B", "C" writing into one journal; "0" is the null observer.
class Observers {
public:
    explicit Observers(Journal& journal);
    P2PObserver* operator[](char name);
    // The name of the observer whose tag this is ("?" for none known).
    std::string NameOfTag(int tag);

private:
    std::map<char, std::unique_ptr<RecordingObserver>> observers_;
};

// Notification payloads for sign n of a test.
Bytes Notification1(int n, const std::string& text, int value);
Bytes Notification2(int n);
Bytes Notification3(int n, int code);
Bytes Notification5(int n);

// "5 1,101 A" (start, sign, observer), "6 ..." and "7 ..." likewise, "8 1,101", "9 7 1",
// "10", "11 77"; malformed payloads as "bad".
std::vector<std::string> Describe(const std::vector<Received>& requests, Observers& observers);

}  // namespace proxytest
