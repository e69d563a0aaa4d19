#include "xml_archive.h"

CXmlArchive::CXmlArchive(int mode) : mode(mode), encoding("ISO-8859-1") {}

CXmlArchive::~CXmlArchive() {
    Close();
}

bool CXmlArchive::AddElement(const char* name, const char* text) {
    return CXmlDoc::AddElement(name, text);
}

bool CXmlArchive::AddChildElement(const char* name, const char* text) {
    return CXmlDoc::AddChildElement(name, text);
}

bool CXmlArchive::FindElement(const char* name) {
    return CXmlDoc::FindElement(name);
}

bool CXmlArchive::FindChildElement(const char* name) {
    return CXmlDoc::FindChildElement(name);
}

bool CXmlArchive::Open(const char* text) {
    if (text == nullptr) {
        return false;
    }
    mode &= ~1;
    isOpen = true;
    return ParseText(text);
}

bool CXmlArchive::Close() {
    isOpen = false;
    return true;
}
