// A message box on a display a person sees is a window: its text and buttons show, and the
// person's click or key answers it; an answer from another thread takes the window away.
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "shell/message_box.h"
#include "x11/test/x11_test_support.h"

#include <X11/keysym.h>

namespace paltest {
namespace {

// MessageBoxA on a thread of its own; its answer once it has returned.
class BoxThread {
public:
    // With `owned`, the thread shows a window of its own first and the box is that window's;
    // OwnerActiveAfter then tells whether the owner was the active window again afterwards.
    BoxThread(std::string text, std::string caption, UINT type, bool owned = false)
        : thread_([this, text, caption, type, owned] {
              HWND owner = nullptr;
              if (owned) {
                  owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 300, 200,
                                          400, 300, nullptr, nullptr, nullptr, nullptr);
                  SetForegroundWindow(owner);
              }
              answer_ = MessageBoxA(owner, text.c_str(), caption.c_str(), type);
              ownerActive_ = owner && GetActiveWindow() == owner && IsWindowEnabled(owner);
              if (owner) {
                  DestroyWindow(owner);
              }
              done_ = true;
          }) {}
    ~BoxThread() {
        // Answers a box the test left open (one still to open included), so the thread can be
        // joined.
        brtest::WaitUntil([&] {
            for (const PalMessageBox& box : PalMessageBoxes()) {
                if (box.answer == 0) {
                    PalAnswerMessageBox(box.id, pal::shell::ButtonsOf(box.type).front());
                }
            }
            return done_.load();
        });
        thread_.join();
    }
    bool Returned() { return brtest::WaitUntil([&] { return done_.load(); }); }
    int Answer() const { return answer_; }
    bool OwnerActiveAfter() const { return ownerActive_; }

private:
    std::atomic<bool> ownerActive_{false};
    std::atomic<bool> done_{false};
    std::atomic<int> answer_{0};
    std::thread thread_;
};

class X11MessageBoxTest : public X11HandsTest {
protected:
    // The box's window once the server shows it.
    HWND WaitForBox(const char* caption) {
        HWND box = nullptr;
        EXPECT_TRUE(PumpUntil([&] {
            box = FindWindowA(nullptr, caption);
            return box && MapState(box) == IsViewable;
        })) << "no box window shows";
        return box;
    }
    POINT MiddleOf(HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
};

TEST_F(X11MessageBoxTest, APersonsClickOrKeyAnswersTheBox) {
    struct Case {
        const char* name;
        UINT type;
        std::function<void(Hands&, HWND box)> answer;
        int expected;
    };
    auto click = [this](int button) {
        return [this, button](Hands& hands, HWND box) {
            const POINT at = MiddleOf(GetDlgItem(box, button));
            hands.Click(1, at.x, at.y);
        };
    };
    // Keys go where the pointer is, as the server gives them with no window manager.
    auto key = [this](KeySym symbol) {
        return [this, symbol](Hands& hands, HWND box) {
            const POINT at = MiddleOf(box);
            hands.MoveTo(at.x, at.y);
            hands.Press(symbol);
        };
    };
    const Case cases[] = {
        {"OK clicked", MB_OK, click(IDOK), IDOK},
        {"No clicked", MB_YESNO | MB_ICONQUESTION, click(IDNO), IDNO},
        {"Enter gives the default button", MB_OKCANCEL | MB_DEFBUTTON2, key(XK_Return), IDCANCEL},
        {"Escape cancels", MB_YESNOCANCEL, key(XK_Escape), IDCANCEL},
        {"Escape on a box of OK alone is OK", MB_OK, key(XK_Escape), IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BoxThread thread(PalGbk("第一行\n第二行，较长的一行文字"), c.name, c.type);
        HWND box = WaitForBox(c.name);
        ASSERT_NE(box, nullptr);
        ASSERT_TRUE(Drained());
        c.answer(hands_, box);
        ASSERT_TRUE(thread.Returned()) << "the box was not answered";
        EXPECT_EQ(thread.Answer(), c.expected);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(box); })) << "the window stayed";
    }
}

// The owner is disabled while its box shows; once a person answers, it is enabled and active
// again, so its keys reach it.
TEST_F(X11MessageBoxTest, AfterTheAnswerTheOwnerIsActiveAgain) {
    BoxThread thread("owned", "owned", MB_OKCANCEL, true);
    HWND box = WaitForBox("owned");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(Drained());
    const POINT at = MiddleOf(GetDlgItem(box, IDOK));
    hands_.Click(1, at.x, at.y);
    ASSERT_TRUE(thread.Returned());
    EXPECT_EQ(thread.Answer(), IDOK);
    EXPECT_TRUE(thread.OwnerActiveAfter()) << "the owner did not get the activation back";
}

TEST_F(X11MessageBoxTest, TheServerShowsTheBoxWithItsTextAndButtons) {
    BoxThread thread(PalGbk("Flash 版本过低\n请升级"), "drawn", MB_OKCANCEL);
    HWND box = WaitForBox("drawn");
    ASSERT_NE(box, nullptr);
    // The box's thread paints it and its controls.
    ASSERT_TRUE(PumpUntil([&] {
        for (HWND w = box; w; w = w == box ? GetWindow(box, GW_CHILD) : GetWindow(w, GW_HWNDNEXT)) {
            auto window = pal::FindWindowObject(w);
            if (!window || window->NeedsPaint()) {
                return false;
            }
        }
        return true;
    }));
    RECT r{}, ok{}, cancel{};
    GetWindowRect(box, &r);
    ASSERT_TRUE(GetWindowRect(GetDlgItem(box, IDOK), &ok));
    ASSERT_TRUE(GetWindowRect(GetDlgItem(box, IDCANCEL), &cancel));
    EXPECT_TRUE(ok.right <= cancel.left && ok.top == cancel.top) << "the buttons are not in a row";
    EXPECT_TRUE(ok.left >= r.left && cancel.right <= r.right && cancel.bottom <= r.bottom)
        << "a button is outside the box";
    ASSERT_TRUE(PumpUntil([&] { return Drained() && Differences(r) == 0; }))
        << "the server does not show the box as the layer draws it";
    // Letters are dark; inside its frame (the default button's is dark too) a button has its
    // label's.
    const RECT text{r.left, r.top, r.right, ok.top};
    auto inside = [](RECT b) { return RECT{b.left + 4, b.top + 4, b.right - 4, b.bottom - 4}; };
    for (const auto& [name, part] :
         {std::pair{"text", text}, {"OK", inside(ok)}, {"Cancel", inside(cancel)}}) {
        size_t dark = 0;
        for (uint32_t pixel : Shot(part)) {
            dark += ((pixel >> 16) & 0xFF) < 0x60 && ((pixel >> 8) & 0xFF) < 0x60 && (pixel & 0xFF) < 0x60;
        }
        EXPECT_GT(dark, 20u) << "no letters in the " << name;
    }
}

TEST_F(X11MessageBoxTest, AnAnswerFromAnotherThreadTakesTheWindowAway) {
    BoxThread thread("answered elsewhere", "elsewhere", MB_YESNO);
    HWND box = WaitForBox("elsewhere");
    ASSERT_NE(box, nullptr);
    DWORD id = 0;
    for (const PalMessageBox& open : PalMessageBoxes()) {
        if (open.caption == "elsewhere" && open.answer == 0) {
            id = open.id;
        }
    }
    ASSERT_NE(id, 0u);
    EXPECT_FALSE(PalAnswerMessageBox(id, IDOK)) << "OK is no button of a Yes/No box";
    ASSERT_TRUE(PalAnswerMessageBox(id, IDNO));
    ASSERT_TRUE(thread.Returned());
    EXPECT_EQ(thread.Answer(), IDNO);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(box) && Drained(); }));
}

}  // namespace
}  // namespace paltest
