// The request's road through the bridge: parse, find "invoke", take its name, serve the first
// equal entry of the call table; and the replies.
#include "flash_call_bridge.h"

#include <charconv>
#include <cstring>

#include "flash_call_table.h"
#include "xml_archive.h"

void CFlashCallBridge::OnFlashCall(const char* request) {
    CXmlArchive archive(3);
    archive.Open(request);  // a text that does not parse leaves no "invoke" to find
    if (archive.FindElement("invoke")) {
        const std::string name = archive.GetAttribute("name");
        if (const FlashCallEntry* entry = FindFlashCall(name.c_str())) {
            Call call{*this, host_, archive};
            entry->serve(call);
        }
    }
    archive.Close();
}

void CFlashCallBridge::ReturnBool(int flag) {
    SetFlashReturn((flag & 0xFF) != 0 ? "<true />" : "<false />");
}

void CFlashCallBridge::ReturnInt(int value) {
    char digits[64] = {};
    std::to_chars(digits, digits + sizeof digits - 1, value);
    ReturnNumber(digits);
}

void CFlashCallBridge::ReturnLong(long value) {
    char digits[64] = {};
    std::to_chars(digits, digits + sizeof digits - 1, value);
    ReturnNumber(digits);
}

void CFlashCallBridge::ReturnNumber(const char* digits) {
    CXmlArchive reply(3);
    reply.AddElement("number", digits);
    SetFlashReturn(reply.GetDocText().c_str());
}

void CFlashCallBridge::SetFlashReturn(const char* text) {
    if (text == nullptr || !host_.setReturnValue) {
        return;
    }
    try {
        host_.setReturnValue(text);
    } catch (...) {
        // The control's failure to take the value is not the movie's concern: nothing to report.
    }
}
