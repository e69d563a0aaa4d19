// The one-pass parse: every element gets a record, in document order, holding the offsets of its
// tags. The walk keeps its place in the records themselves (an open element's endTagBegin is the
// cursor of its content, its parent link the way back), so nesting depth costs no stack.
#include <cstdint>
#include <cstring>
#include <string>

#include "xml_doc.h"

using markup::NextToken;
using markup::ScanToChar;
using markup::SkipWhitespace;

namespace {

// Searches for `what`, stepping by characters from `from`; at holds the offset of its first byte.
bool FindText(const char* text, int from, const char* what, int& at) {
    const size_t size = std::strlen(what);
    for (int i = from; text[i] != '\0'; i += markup::CharSize(text, i)) {
        if (text[i] == what[0] && std::strncmp(text + i, what, size) == 0) {
            at = i;
            return true;
        }
    }
    return false;
}

// Whether the count bytes at a and at b (both within the text) are equal; names of up to eight
// bytes are compared at once where the text allows it.
bool SameBytes(const char* t, int length, int a, int b, int count) {
    if (count <= 8 && a + 8 <= length && b + 8 <= length) {
        uint64_t x;
        uint64_t y;
        std::memcpy(&x, t + a, 8);
        std::memcpy(&y, t + b, 8);
        const uint64_t mask = count == 8 ? ~0ull : (1ull << (8 * count)) - 1;
        return ((x ^ y) & mask) == 0;
    }
    return std::memcmp(t + a, t + b, count) == 0;
}

// Steps a token over a declaration from its '<' to the '>' that closes it outside any [] subset.
bool SkipDeclaration(markup::Token& token) {
    int depth = 0;
    while (NextToken(token)) {
        if (token.quoted) {
            continue;
        }
        const char c = token.FirstByte();
        if (c == '[') {
            ++depth;
        } else if (c == ']') {
            --depth;
        } else if (c == '>' && depth == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

int CXmlDoc::ParseNode(Token& token) const {
    const char* t = token.text;
    token.first = token.next;
    const int p = token.first;
    if (t[p] == '<') {
        if (t[p + 1] == '\0' || t[p + 2] == '\0') {
            return kNodeNone;
        }
        int at = 0;
        if (t[p + 1] == '?') {
            if (!FindText(t, p, "?>", at)) {
                return kNodeNone;
            }
            token.next = at + 2;
            return kNodeProcessing;
        }
        if (t[p + 1] == '!') {
            if (t[p + 2] == '[' || t[p + 2] == '-') {
                const bool cdata = t[p + 2] == '[';
                if (!FindText(t, p, cdata ? "]]>" : "-->", at)) {
                    return kNodeNone;
                }
                token.next = at + 3;
                return cdata ? kNodeCdata : kNodeComment;
            }
            const bool closed = SkipDeclaration(token);
            token.first = p;
            return closed ? kNodeDeclaration : kNodeNone;
        }
        return t[p + 1] == '/' ? kNodeNone : kNodeElement;
    }
    if (t[p] == '\0') {
        return kNodeNone;
    }
    int q = p;
    if (!SkipWhitespace(t, q) || t[q] == '<') {
        token.next = q;
        return kNodeWhitespace;
    }
    ScanToChar(t, q, '<');
    token.next = q;
    return kNodeText;
}

// Steps from the cursor of `level` over text and other nodes to its next tag, recording its '<'
// in record `index` and in the cursor. 1: a start tag, the token on its name; 0: an end tag;
// -1: a parse error.
[[gnu::always_inline]] inline int CXmlDoc::ScanTag(int level, int index, Token& token) {
    const char* t = token.text;
    const int length = static_cast<int>(docText.size());
    for (;;) {
        int lt = token.next;
        if (!ScanToChar(t, length, lt, '<')) {
            return SetParseError("Element tag not found");
        }
        records[index].startTagBegin = lt;
        records[level].endTagBegin = lt;
        if (t[lt + 1] == '/') {
            token.first = token.last = lt + 1;  // what NextToken reads there: the lone '/'
            token.next = lt + 2;
            return 0;
        }
        const char c1 = t[lt + 1];
        if (markup::detail::kTokenByte[static_cast<unsigned char>(c1)] == 1 && c1 != '"' &&
            c1 != '\'') {
            // The usual start tag, its name right after the '<': what NextToken reads there.
            token.quoted = false;
            token.first = lt + 1;
            token.next = markup::EndOfRun(t, markup::SkipRunBytes(t, length, lt + 1));
            token.last = token.next - 1;
            return 1;
        }
        token.next = lt + 1;
        if (!NextToken(token)) {
            return SetParseError("Abrupt end within tag");
        }
        if (token.quoted) {
            return SetParseError("Tag starts with quote");
        }
        const char c = token.FirstByte();
        if (c == '/') {
            return 0;
        }
        if (c != '?' && c != '!') {
            return 1;
        }
        token.next = lt;
        const int kind = ParseNode(token);
        // Blanks between the '<' and the '?' or '!' leave the classifier on the '<' (an element
        // to it); that is no node this parser can step over, so it fails instead of looping.
        if (kind == kNodeNone || kind == kNodeElement) {
            return SetParseError("Invalid node");
        }
    }
}

// Reads the end tag of element `index` from its endTagBegin and records its '>'. While the
// element is open its endTagEnd holds the length of its name when the name is a run of
// characters right after the '<', else 0. The general reading is ReadEndTagTokens.
[[gnu::always_inline]] inline bool CXmlDoc::ReadEndTag(int index) {
    const char* t = docText.c_str();
    const int length = static_cast<int>(docText.size());
    // The usual case: the end tag "</name>" right at endTagBegin. The general reading would find
    // the same three tokens there.
    const int begin = records[index].endTagBegin;
    const int nameLength = records[index].endTagEnd;
    if (nameLength > 0 && begin + 2 + nameLength <= length && t[begin] == '<' &&
        t[begin + 1] == '/' && t[begin + 2 + nameLength] == '>' &&
        SameBytes(t, length, records[index].startTagBegin + 1, begin + 2, nameLength)) {
        records[index].endTagEnd = begin + 2 + nameLength;
        return true;
    }
    return ReadEndTagTokens(index);
}

// Reads the end tag token by token: '/', the element's name, then anything up to the '>'.
bool CXmlDoc::ReadEndTagTokens(int index) {
    const char* t = docText.c_str();
    const int begin = records[index].endTagBegin;
    Token nameToken(t, records[index].startTagBegin + 1);
    NextToken(nameToken);
    const std::string_view name(t + nameToken.first, nameToken.last - nameToken.first + 1);
    auto fail = [&](const char* format) {
        SetParseError(format, std::string(name).c_str());
        return false;
    };

    int lt = begin;
    if (!ScanToChar(t, lt, '<')) {
        return fail("End tag of %s element not found");
    }
    records[index].endTagBegin = lt;
    Token token(t, lt + 1);
    for (int count = 1;; ++count) {
        if (!NextToken(token)) {
            return fail("End tag not completed for element %s");
        }
        if (token.quoted) {
            continue;
        }
        if (count == 1 && !token.Is('/')) {
            return fail("Expecting end tag of element %s");
        }
        if (count == 2 && !token.Matches(name)) {
            return fail("End tag does not correspond to %s");
        }
        if (token.Is('>')) {
            records[index].endTagEnd = token.first;
            return true;
        }
    }
}

// Parses the next element in the content of `parent`, with all its descendants. Returns its
// index, 0 when the parent's end tag comes first, -1 after a parse error (errorText says which).
int CXmlDoc::ParseElement(int parent) {
    const char* t = docText.c_str();
    int level = parent;  // the element whose content is being read
    int previous = 0;    // the last complete child of level (below parent)
    for (;;) {
        const int index = NewRecord();
        records[index].Clear();
        records[index].startTagBegin = records[level].endTagBegin;
        records[index].parent = level;
        Token token(t, records[level].endTagBegin);
        const int tag = ScanTag(level, index, token);
        if (tag < 0) {
            return -1;
        }
        int done;  // the child of level that is complete now
        if (tag == 0) {
            ReleaseRecord();
            if (level == parent) {
                return 0;
            }
            if (!ReadEndTag(level)) {
                return -1;
            }
            done = level;
            level = records[done].parent;
        } else {
            int close = token.next;
            if (!ScanToChar(t, static_cast<int>(docText.size()), close, '>')) {
                return SetParseError("End of tag not found");
            }
            if (level != parent && previous != 0) {
                records[previous].nextSibling = index;
            } else if (level != parent) {
                records[level].firstChild = index;
            }
            records[index].startTagEnd = close;
            if (t[close - 1] != '/') {
                records[index].endTagBegin = close + 1;
                const bool run =
                    token.first == records[index].startTagBegin + 1 &&
                    markup::detail::kTokenByte[static_cast<unsigned char>(t[token.first])] != 0;
                records[index].endTagEnd = run ? token.last - token.first + 1 : 0;
                level = index;
                previous = 0;
                continue;
            }
            records[index].endTagBegin = close - 1;
            records[index].endTagEnd = close;
            done = index;
        }
        if (level == parent) {
            return done;
        }
        records[level].endTagBegin = records[done].endTagEnd + 1;
        previous = done;
    }
}
