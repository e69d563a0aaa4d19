// The movie's calls, in the order in which names are compared.
#pragma once

#include "flash_call_bridge.h"
#include "xml_archive.h"

// The request being served: the bridge (for its replies), its host and the request, positioned
// on the found "invoke" element.
struct CFlashCallBridge::Call {
    CFlashCallBridge& bridge;
    const FlashCallHost& host;
    CXmlArchive& request;
};

struct FlashCallEntry {
    const char* name;
    void (*serve)(CFlashCallBridge::Call& call);
};

// The first entry whose name equals name byte for byte (a multibyte comparison of GBK texts
// is a byte comparison), or null.
const FlashCallEntry* FindFlashCall(const char* name);
