// Test access to the markup classes: the protected machinery of CXmlDoc, and the element table
// as comparable values.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "xml_archive.h"

// One element record as the tests write it: the four tag offsets and the three links.
struct Tags {
    int startTagBegin, startTagEnd, endTagBegin, endTagEnd, parent, firstChild, nextSibling;
    bool operator==(const Tags&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Tags& t) {
    return out << "{" << t.startTagBegin << "," << t.startTagEnd << "," << t.endTagBegin << ","
               << t.endTagEnd << " p" << t.parent << " c" << t.firstChild << " n" << t.nextSibling
               << "}";
}

// Records 1 to nextFree - 1.
inline std::vector<Tags> TableOf(const CXmlDoc& doc) {
    std::vector<Tags> table;
    for (int i = 1; i < doc.GetNextFree(); ++i) {
        const CXmlDoc::ElemPos& r = doc.GetRecord(i);
        table.push_back({r.startTagBegin, r.startTagEnd, r.endTagBegin, r.endTagEnd, r.parent,
                         r.firstChild, r.nextSibling});
    }
    return table;
}

class TestDoc : public CXmlArchive {
public:
    TestDoc() : CXmlArchive(3) {}
    using CXmlDoc::FindInsertPoint;
    using CXmlDoc::FindNextElement;
    using CXmlDoc::LocateAttribute;
    using CXmlDoc::ParseNode;
    using CXmlDoc::ReplaceText;
    using CXmlDoc::SetParseError;
    using CXmlDoc::ShiftFollowing;
    using CXmlDoc::TokenText;
    const char* Text() const { return docText.c_str(); }
};
