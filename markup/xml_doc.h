// CXmlDoc: one XML document kept as a single text, with every element located by byte offsets in
// a table of fixed-size records. Parsing fills the table in one pass without copying attributes
// or content; reading and editing work on the offsets and on the text itself.
//
// Texts are narrow, NUL-terminated and in the process's multibyte code page (GBK here); offsets
// are byte offsets from the start of the document text. An instance is used by one thread at a
// time.
#pragma once

#include <string>

#include "xml_records.h"
#include "xml_scan.h"

class CXmlDoc {
public:
    // One element: where its tags are and how it is linked. For an empty-element tag ("<a/>")
    // endTagBegin is the offset of its '/' and endTagEnd equals startTagEnd.
    struct ElemPos {
        void Clear() { *this = ElemPos(); }
        bool IsEmpty() const { return startTagEnd == endTagBegin + 1; }
        void ShiftStart(int n) {
            startTagBegin += n;
            startTagEnd += n;
        }
        void ShiftEnd(int n) {
            endTagBegin += n;
            endTagEnd += n;
        }

        int startTagBegin = 0;  // the '<' that opens the start tag
        int startTagEnd = 0;    // the '>' that closes it
        int endTagBegin = 0;    // the '<' that opens the end tag
        int endTagEnd = 0;      // the '>' that closes it
        int reserved = 0;
        int parent = 0;
        int firstChild = 0;
        int nextSibling = 0;
    };

    static_assert(sizeof(ElemPos) == 8 * sizeof(int32_t));

    using Token = markup::Token;

    // What ParseNode found at an offset.
    enum NodeKind {
        kNodeNone = 0,
        kNodeElement = 1,
        kNodeText = 2,
        kNodeWhitespace = 4,
        kNodeCdata = 8,
        kNodeProcessing = 16,
        kNodeComment = 32,
        kNodeDeclaration = 64,
    };

    CXmlDoc();
    virtual ~CXmlDoc();
    CXmlDoc(const CXmlDoc&) = delete;
    CXmlDoc& operator=(const CXmlDoc&) = delete;

    // Document (xml_doc.cpp, xml_parse.cpp).
    bool ParseText(const char* text);
    bool IsWellFormed() const;

    // Navigation and reading (xml_navigate.cpp, xml_read.cpp).
    void ResetPos();
    bool FindElement(const char* name = nullptr);
    bool FindChildElement(const char* name = nullptr);
    bool IntoElement();
    std::string GetAttribute(const char* name) const;
    std::string GetData() const;
    std::string GetElementAttribute(int index, const char* name) const;
    std::string GetElementData(int index) const;
    std::string GetElementName(int index) const;
    static std::string EscapeText(const char* text);
    std::string UnescapeText(int first, int last) const;

    // Editing (xml_edit.cpp).
    bool AddElement(const char* name, const char* text = nullptr);
    bool AddChildElement(const char* name, const char* text = nullptr);
    std::string GetDocText() const { return docText; }

    // The state, for callers that report errors and for tests.
    const std::string& GetErrorText() const { return errorText; }
    int GetRecordCount() const { return records.size(); }
    const ElemPos& GetRecord(int index) const { return records[index]; }  // index < count
    int GetNextFree() const { return nextFree; }
    int GetParentPos() const { return parentPos; }
    int GetCurrentPos() const { return currentPos; }
    int GetChildPos() const { return childPos; }
    int GetNodeKind() const { return nodeKind; }

    // Texts that could not be addressed by the records' 32-bit offsets are never parsed into, or
    // grown beyond, this length.
    static constexpr size_t kMaxTextLength = 0x7FFFFFF0;

protected:
    std::string TokenText(const Token& token) const;
    void SetPos(int parent, int current, int child) {
        parentPos = parent;
        currentPos = current;
        childPos = child;
        nodeKind = current != 0 ? 1 : 0;
    }
    // Takes record nextFree; when that is the first past the table, the table first grows by
    // half its size.
    int NewRecord() {
        if (nextFree == records.size()) {
            records.Grow(nextFree + nextFree / 2);
        }
        return nextFree++;
    }
    int ReleaseRecord() {
        --nextFree;
        return 0;
    }
    int SetParseError(const char* format, const char* name = nullptr);
    int ParseElement(int parent);
    int ParseNode(Token& token) const;
    int FindNextElement(int parent, int after, const char* name) const;
    bool LocateAttribute(Token& token, const char* name) const;
    bool InsertElement(const char* name, const char* text, bool asChild);
    void FindInsertPoint(int parent, int& after, int& offset) const;
    void ReplaceText(int offset, int count, const std::string& insert);
    void ShiftFollowing(int index, int shift);

    std::string docText;
    std::string errorText;
    RecordTable<ElemPos, 16> records;  // index 0 holds the document, elements from 1
    int parentPos = 0;                 // whose children form the current level
    int currentPos = 0;                // the current element, 0 for none
    int childPos = 0;                  // the current child of the current element, 0 for none
    int nextFree = 1;
    int nodeKind = 0;  // 1 while there is a current element

private:
    int ScanTag(int level, int index, Token& token);
    bool ReadEndTag(int index);
    bool ReadEndTagTokens(int index);
};
