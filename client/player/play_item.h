// CPlayItem: the description of one item to open, a value type the caller builds for one
// CPlayerCtrl::Open. text1 names the item in the log when the open fails.
#pragma once

#include <cstdint>
#include <string>

#include "sign.h"

class CPlayItem {
public:
    CPlayItem() { Reset(); }

    // Empty texts, 0 numbers and the Sign of the empty text.
    void Reset();
    void Set(const std::string& text1Value, const std::string& text2Value,
             const std::string& text3Value, const std::string& text4Value, int numberValue,
             const Sign& signValue, int extraValue);

    std::string GetText1() const { return text1; }
    std::string GetText2() const { return text2; }
    std::string GetText3() const { return text3; }
    std::string GetText4() const { return text4; }
    int GetNumber() const { return number; }
    Sign GetSign() const { return sign; }
    int GetExtra() const { return extra; }

private:
    std::string text1;
    std::string text2;
    std::string text3;
    std::string text4;
    int32_t number = 0;
    Sign sign;
    int32_t extra = 0;
};
