// The position: a level (the children of parentPos), the current element on it and the current
// child of that element. Searches compare each candidate's name in place and move the position
// only when they succeed.
#include "xml_doc.h"

void CXmlDoc::ResetPos() {
    SetPos(0, 0, 0);
}

int CXmlDoc::FindNextElement(int parent, int after, const char* name) const {
    int candidate = after != 0 ? records[after].nextSibling : records[parent].firstChild;
    if (name == nullptr || *name == '\0') {
        return candidate;
    }
    const char* t = docText.c_str();
    const int length = static_cast<int>(docText.size());
    for (; candidate != 0; candidate = records[candidate].nextSibling) {
        if (markup::TokenMatchesAt(t, length, records[candidate].startTagBegin + 1, name)) {
            return candidate;
        }
    }
    return 0;
}

bool CXmlDoc::FindElement(const char* name) {
    const int found = FindNextElement(parentPos, currentPos, name);
    if (found == 0) {
        return false;
    }
    SetPos(records[found].parent, found, 0);
    return true;
}

bool CXmlDoc::FindChildElement(const char* name) {
    if (currentPos == 0) {
        FindElement(nullptr);
        if (currentPos == 0) {
            return false;  // an empty level: there is no element whose children to search
        }
    }
    const int found = FindNextElement(currentPos, childPos, name);
    if (found == 0) {
        return false;
    }
    SetPos(records[currentPos].parent, currentPos, found);
    return true;
}

bool CXmlDoc::IntoElement() {
    if (currentPos == 0 || nodeKind != 1) {
        return false;
    }
    SetPos(currentPos, childPos, 0);
    return true;
}
