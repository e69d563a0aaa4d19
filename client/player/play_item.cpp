#include "play_item.h"

void CPlayItem::Reset() {
    text1.clear();
    text2.clear();
    text3.clear();
    text4.clear();
    number = 0;
    sign = Sign(std::string());
    extra = 0;
}

void CPlayItem::Set(const std::string& text1Value, const std::string& text2Value,
                    const std::string& text3Value, const std::string& text4Value, int numberValue,
                    const Sign& signValue, int extraValue) {
    text1 = text1Value;
    text2 = text2Value;
    text3 = text3Value;
    text4 = text4Value;
    number = numberValue;
    sign = signValue;
    extra = extraValue;
}
