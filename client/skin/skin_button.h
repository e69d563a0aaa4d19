// CSkinButton: a title-bar button of the main window, drawn from four state pictures, hit-tested
// on its rectangle, and acting when released over it.
#pragma once

#include <string>

#include "appframe.h"

// The button's looks; the index of each look's picture.
enum SkinButtonState {
    SKIN_STATE_NORMAL = 0,   // "N.png"
    SKIN_STATE_PRESSED = 1,  // "S.png": the left button went down on it
    SKIN_STATE_HOVER = 2,    // "F.png": the pointer is over it
    SKIN_STATE_FOURTH = 3,   // "D.png": never chosen by the main window
};

// What a button does when released over it.
enum SkinButtonAction {
    SKIN_ACTION_NONE = -1,
    SKIN_ACTION_CLOSE = 0,     // WM_CLOSE to the main window
    SKIN_ACTION_MINIMIZE = 1,  // WM_SYSCOMMAND SC_MINIMIZE to the main window
    SKIN_ACTION_HELP = 2,      // the help page
    SKIN_ACTION_FEEDBACK = 3,  // the feedback page
};

class CSkinButton {
public:
    static constexpr int kStateCount = 4;

    // Loads basePath + "Skin/" + name + "N.png", "S.png", "F.png", "D.png" into the pictures of
    // states 0 to 3; a file that does not load leaves its picture empty. Always true.
    bool Load(const std::string& basePath, const std::string& name);
    void SetRect(const RECT& placement);
    // False for a null context; for a state 0-3 draws its picture at (x, y) at its own size and
    // says whether that succeeded; any other state draws nothing and is true.
    bool Draw(HDC dc) const;
    // The point lies in the rectangle, right and bottom excluded.
    bool HitTest(POINT point) const;
    // Traces the call, then changes the look (a pressed button keeps it while flags hold
    // MK_LBUTTON) and invalidates the rectangle in the main window when it changed.
    void SetState(int newState, UINT flags);
    void SetAction(int value) { action = value; }
    void DoAction() const;

    int GetState() const { return state; }
    const RECT& GetRect() const { return rect; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }

private:
    int state = SKIN_STATE_NORMAL;
    RECT rect{};
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    CImage images[kStateCount];
    int action = SKIN_ACTION_NONE;
};
