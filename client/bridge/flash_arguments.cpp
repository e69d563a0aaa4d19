#include "flash_arguments.h"

FlashArguments::FlashArguments(CXmlArchive& request) : request_(request) {
    present_ =
        request_.IntoElement() && request_.FindElement("arguments") && request_.IntoElement();
}

std::string FlashArguments::Next(const char* kind, bool* found) {
    const bool ok = present_ && request_.FindElement(kind);
    if (found != nullptr) {
        *found = ok;
    }
    return ok ? request_.GetData() : std::string();
}

std::string FlashArguments::String(bool* found) {
    return Next("string", found);
}

std::string FlashArguments::Number(bool* found) {
    return Next("number", found);
}
