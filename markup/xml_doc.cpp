#include <algorithm>

#include "xml_doc.h"

CXmlDoc::CXmlDoc() {
    ParseText(nullptr);
}

CXmlDoc::~CXmlDoc() = default;

bool CXmlDoc::ParseText(const char* text) {
    nextFree = 1;
    ResetPos();
    if (text == nullptr || *text == '\0') {
        docText.clear();
    } else {
        docText.assign(text);
    }
    const bool addressable = docText.size() <= kMaxTextLength;
    if (addressable) {
        records.Grow(static_cast<int>(docText.size() / 64 + 8));
    }
    bool parsed = false;
    if (!docText.empty() && addressable) {
        records[0].Clear();
        const int element = ParseElement(0);
        if (element > 0) {
            records[0].firstChild = element;
            parsed = true;
        }
    }
    if (!parsed) {
        records[0].Clear();
        nextFree = 1;
    }
    ResetPos();
    return parsed;
}

bool CXmlDoc::IsWellFormed() const {
    return !records.empty() && records[0].firstChild != 0;
}

int CXmlDoc::SetParseError(const char* format, const char* name) {
    errorText = format;
    if (name) {
        const size_t at = errorText.find("%s");
        if (at != std::string::npos) {
            errorText.replace(at, 2, name);
        }
    }
    ReleaseRecord();
    return -1;
}

std::string CXmlDoc::TokenText(const Token& token) const {
    const int first = std::max(token.first, 0);
    const int last = std::min(token.last, static_cast<int>(docText.size()) - 1);
    if (last < first) {
        return std::string();
    }
    return docText.substr(first, last - first + 1);
}
