// Adding elements: each one is written straight into the document text, with a line break
// after it, and the table follows: a new record is linked in and the offsets of everything
// after the insertion point move by the length of the insert. Records before it stay as they are.
#include <algorithm>
#include <cstring>

#include "xml_doc.h"

namespace {

// The name is written unchanged, so it has to read back as itself: one unquoted token, made of
// whole characters. Anything else (empty, a leading quote or blank, a delimiter such as '>' or
// '/', a lead byte at the end) would change the tags around it or the name read back. The start
// tag's end is told by the byte before its '>', so a last byte '/' is refused even where it is
// the second byte of a character.
bool IsNameToken(const char* name) {
    if (name == nullptr || *name == '\0' || *name == '"' || *name == '\'') {
        return false;
    }
    const size_t length = std::strlen(name);
    if (name[length - 1] == '/') {
        return false;
    }
    for (int i = 0; name[i] != '\0'; i += markup::CharSize(name, i)) {
        const auto b = static_cast<unsigned char>(name[i]);
        if (markup::IsDelimiter(name[i]) ||
            (b >= 0x80 && IsDBCSLeadByte(b) && name[i + 1] == '\0')) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool CXmlDoc::AddElement(const char* name, const char* text) {
    return InsertElement(name, text, false);
}

bool CXmlDoc::AddChildElement(const char* name, const char* text) {
    return InsertElement(name, text, true);
}

void CXmlDoc::FindInsertPoint(int parent, int& after, int& offset) const {
    const ElemPos& p = records[parent];
    if (after != 0) {
        offset = records[after].endTagEnd + 1;
    } else if (parent == 0) {
        offset = static_cast<int>(docText.size());
    } else if (p.IsEmpty()) {
        offset = p.startTagEnd;
    } else {
        offset = p.endTagBegin;
    }
    if (!p.IsEmpty()) {
        const char* t = docText.c_str();
        int i = offset;
        if (!markup::SkipWhitespace(t, i) || t[i] == '<') {
            offset = i;
        }
    }
    if (after == 0) {
        for (int child = p.firstChild; child != 0; child = records[child].nextSibling) {
            after = child;
        }
    }
}

void CXmlDoc::ReplaceText(int offset, int count, const std::string& insert) {
    const int length = static_cast<int>(docText.size());
    offset = std::clamp(offset, 0, length);
    count = std::clamp(count, 0, length - offset);
    docText.replace(offset, count, insert);
}

void CXmlDoc::ShiftFollowing(int index, int shift) {
    int top = records[index].parent;
    int i = index;
    while (i != 0) {
        bool left = false;  // i's children come before the change, or are the changed element's
        if (i == top) {
            top = records[i].parent;
            left = true;
        }
        if (!left && records[i].firstChild != 0) {
            i = records[i].firstChild;
        } else if (records[i].nextSibling != 0) {
            i = records[i].nextSibling;
        } else {
            do {
                i = records[i].parent;
            } while (i != 0 && i != top && records[i].nextSibling == 0);
            if (i != 0 && i != top) {
                i = records[i].nextSibling;
            }
        }
        if (i != top) {
            records[i].ShiftStart(shift);
        }
        records[i].ShiftEnd(shift);
    }
}

bool CXmlDoc::InsertElement(const char* name, const char* text, bool asChild) {
    if (!IsNameToken(name)) {
        return false;
    }
    int parent;
    int after;
    if (asChild) {
        if (currentPos == 0) {
            return false;
        }
        parent = currentPos;
        after = childPos;
    } else {
        parent = parentPos;
        after = currentPos;
        if (parent == 0 && IsWellFormed()) {
            return false;
        }
    }
    if (parent == 0) {
        records[0].endTagBegin = static_cast<int>(docText.size());
    }

    int offset = 0;
    FindInsertPoint(parent, after, offset);
    const ElemPos& p = records[parent];
    const bool reopen = p.IsEmpty();
    const bool emptyContent = p.startTagEnd + 1 == p.endTagBegin;
    if (reopen || emptyContent) {
        offset += 2;  // for the line break written before the new element
    }

    // The element's text and its record's offsets.
    const int nameLength = static_cast<int>(std::strlen(name));
    ElemPos added;
    added.startTagBegin = offset;
    added.parent = parent;
    const bool withText = text != nullptr && *text != '\0';
    const std::string value = withText ? EscapeText(text) : std::string();
    std::string element;
    element.reserve(2 * nameLength + value.size() + 7);
    element += '<';
    element += name;
    if (!withText) {
        element += "/>\r\n";
        added.startTagEnd = offset + nameLength + 2;
        added.endTagBegin = added.startTagEnd - 1;
        added.endTagEnd = added.startTagEnd;
    } else {
        element += '>';
        element += value;
        element += "</";
        element += name;
        element += ">\r\n";
        added.startTagEnd = offset + nameLength + 1;
        added.endTagBegin = added.startTagEnd + static_cast<int>(value.size()) + 1;
        added.endTagEnd = added.endTagBegin + nameLength + 2;
    }

    // Where it goes: an empty-element parent is reopened (its '/' becomes ">", the line break,
    // the element and the "</name" that its old '>' closes); into empty content it goes after a
    // line break; otherwise at the insertion point.
    std::string insert;
    int at = offset;
    int count = 0;
    std::string parentName;
    if (reopen) {
        parentName = GetElementName(parent);
        insert = ">\r\n" + element + "</" + parentName;
        at = p.startTagEnd - 1;
        count = 1;
    } else if (emptyContent) {
        insert = "\r\n" + element;
        at = p.startTagEnd + 1;
    } else {
        insert = std::move(element);
    }
    if (docText.size() - count + insert.size() > kMaxTextLength) {
        return false;
    }

    if (reopen) {
        records[parent].startTagEnd -= 1;
        records[parent].endTagBegin -= static_cast<int>(parentName.size()) + 1;
    }
    const int index = NewRecord();
    records[index] = added;
    if (after != 0) {
        records[index].nextSibling = records[after].nextSibling;
        records[after].nextSibling = index;
    } else {
        records[index].nextSibling = records[parent].firstChild;
        records[parent].firstChild = index;
    }
    const int shift = static_cast<int>(insert.size()) - count;
    if (docText.empty()) {
        docText = std::move(insert);  // the usual reply: the element is the whole document
    } else {
        ReplaceText(at, count, insert);
    }
    ShiftFollowing(index, shift);
    if (asChild) {
        SetPos(parentPos, parent, index);
    } else {
        SetPos(parent, index, 0);
    }
    return true;
}
