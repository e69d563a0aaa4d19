// A held message box answered from another thread, as the control socket answers it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "test/window_test_support.h"
#include "wait_until.h"

namespace {

TEST(MessageBoxMtTest, AHeldBoxIsAnsweredFromAnotherThread) {
    brtest::ScopedTestRoot root;
    PalHoldMessageBoxes(TRUE);
    std::atomic<bool> answered{false};
    std::thread answerer([&] {
        PalMessageBox open{};
        bool seen = brtest::WaitUntil([&] {
            std::vector<PalMessageBox> boxes = PalMessageBoxes();
            if (boxes.empty() || boxes.back().answer != 0 || boxes.back().text != "retry?") {
                return false;
            }
            open = boxes.back();
            return true;
        });
        answered = seen && PalAnswerMessageBox(open.id, IDCANCEL);
    });
    int answer = MessageBoxA(nullptr, "retry?", "c", MB_RETRYCANCEL);
    answerer.join();
    PalHoldMessageBoxes(FALSE);
    EXPECT_TRUE(answered);
    EXPECT_EQ(answer, IDCANCEL);
}

}  // namespace
