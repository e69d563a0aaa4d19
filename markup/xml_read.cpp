// Reading: attribute values, character data and names, and the conversion between plain text
// and text with the five entity references.
#include <algorithm>
#include <cstring>

#include "xml_doc.h"

using markup::CharSize;
using markup::NextToken;

namespace {

struct Entity {
    const char* name;  // what follows the '&', with its ';'
    int length;
    char character;
};

// The order in which references are tried on reading.
constexpr Entity kEntities[] = {
    {"lt;", 3, '<'}, {"amp;", 4, '&'}, {"gt;", 3, '>'}, {"apos;", 5, '\''}, {"quot;", 5, '"'},
};

constexpr char kCdataOpen[] = "<![CDATA[";
constexpr int kCdataOpenSize = 9;

// The offset of the first "]]>" that starts at or after from and before end, or -1.
int FindCdataClose(const char* t, int from, int end) {
    for (int i = from; i < end && t[i] != '\0'; i += CharSize(t, i)) {
        if (t[i] == ']' && t[i + 1] == ']' && t[i + 2] == '>') {
            return i;
        }
    }
    return -1;
}

}  // namespace

std::string CXmlDoc::GetAttribute(const char* name) const {
    return GetElementAttribute(currentPos, name);
}

std::string CXmlDoc::GetData() const {
    return GetElementData(currentPos);
}

// From just after an element's '<': the element's name is token 0, attribute names follow, and
// a value is the quoted token two after its name. Without a name the first attribute name is
// the result. Once a name has matched, later attributes are not tried.
bool CXmlDoc::LocateAttribute(Token& token, const char* name) const {
    const bool anyName = name == nullptr || *name == '\0';
    const std::string_view wanted = anyName ? std::string_view() : std::string_view(name);
    int matched = -1;
    for (int count = 0; NextToken(token); ++count) {
        if (token.quoted) {
            if (matched >= 0 && count == matched + 2) {
                return true;
            }
            continue;
        }
        const char c = token.FirstByte();
        if (c == '>' || c == '/' || c == '?') {
            return false;
        }
        if (c == '=' || count == 0 || matched >= 0) {
            continue;
        }
        if (anyName) {
            return true;
        }
        if (token.Matches(wanted)) {
            matched = count;
        }
    }
    return false;
}

std::string CXmlDoc::GetElementAttribute(int index, const char* name) const {
    if (index <= 0 || index >= nextFree || nodeKind != 1 || name == nullptr) {
        return std::string();
    }
    Token token(docText.c_str(), records[index].startTagBegin + 1);
    if (!LocateAttribute(token, name)) {
        return std::string();
    }
    return UnescapeText(token.first, token.last);
}

// Record 0 (no current element) has no data: the result is empty.
std::string CXmlDoc::GetElementData(int index) const {
    if (index <= 0 || index >= nextFree) {
        return std::string();
    }
    const ElemPos& e = records[index];
    if (e.firstChild != 0 || e.IsEmpty()) {
        return std::string();
    }
    const char* t = docText.c_str();
    int i = e.startTagEnd + 1;
    markup::SkipWhitespace(t, i);
    if (t[i] == '<' && i + 11 < e.endTagBegin &&
        std::memcmp(t + i, kCdataOpen, kCdataOpenSize) == 0) {
        const int from = i + kCdataOpenSize;
        const int close = FindCdataClose(t, from, e.endTagBegin);
        if (close >= 0) {
            return docText.substr(from, close - from);
        }
    }
    return UnescapeText(e.startTagEnd + 1, e.endTagBegin - 1);
}

std::string CXmlDoc::GetElementName(int index) const {
    if (index <= 0 || index >= nextFree) {
        return std::string();
    }
    Token token(docText.c_str(), records[index].startTagBegin + 1);
    if (!NextToken(token)) {
        return std::string();
    }
    return TokenText(token);
}

// The reserve is the length plus a tenth plus 7 and doubles whenever fewer than 6 bytes are
// left before a character, so a reference (at most 5 bytes) always fits. A lead byte that ends
// the text is an incomplete character: it is left out, since in the document it would join the
// '<' of the end tag that follows into one character.
std::string CXmlDoc::EscapeText(const char* text) {
    if (text == nullptr) {
        return std::string();
    }
    const size_t length = std::strlen(text);
    size_t reserve = length + length / 10 + 7;
    std::string out(reserve, '\0');
    size_t used = 0;
    for (size_t i = 0; text[i] != '\0';) {
        if (used > reserve - 6) {
            reserve *= 2;
            out.resize(reserve);
        }
        const char c = text[i];
        const char* reference = c == '<'   ? "&lt;"
                                : c == '&' ? "&amp;"
                                : c == '>' ? "&gt;"
                                           : nullptr;
        if (reference != nullptr) {
            const size_t size = std::strlen(reference);
            std::memcpy(&out[used], reference, size);
            used += size;
            ++i;
            continue;
        }
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && IsDBCSLeadByte(b)) {
            if (text[i + 1] == '\0') {
                break;
            }
            out[used++] = c;
            out[used++] = text[i + 1];
            i += 2;
            continue;
        }
        out[used++] = c;
        ++i;
    }
    out.resize(used);
    return out;
}

namespace {

// The first offset from `from` up to `last` that holds '&' or a byte from 0x80 up, else last + 1.
// Whole blocks are tested as long as they lie in the text (`length` bytes, no NUL).
int FindSpecial(const char* t, int length, int from, int last) {
    int i = markup::SkipPlainBytes(t, length, last + 1, from, '&');
    while (i <= last && t[i] != '&' && static_cast<unsigned char>(t[i]) < 0x80) {
        ++i;
    }
    return std::min(i, last + 1);
}

}  // namespace

// The range is clipped to the text. Runs without '&' and without bytes from 0x80 up are copied
// as they are. A two-byte character is copied whole unless its second byte lies past the range,
// so the result never holds more bytes than the range.
std::string CXmlDoc::UnescapeText(int first, int last) const {
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(docText.size()) - 1);
    if (last < first) {
        return std::string();
    }
    const char* t = docText.c_str();
    const int length = static_cast<int>(docText.size());
    int i = FindSpecial(t, length, first, last);
    if (i > last) {
        return std::string(t + first, static_cast<size_t>(last - first + 1));
    }
    std::string out(static_cast<size_t>(last - first + 1), '\0');
    size_t used = 0;
    for (int from = first;; from = i, i = FindSpecial(t, length, i, last)) {
        std::memcpy(out.data() + used, t + from, static_cast<size_t>(i - from));
        used += static_cast<size_t>(i - from);
        if (i > last) {
            break;
        }
        if (t[i] == '&') {
            const Entity* found = nullptr;
            for (const Entity& entity : kEntities) {
                if (i + entity.length <= last &&
                    std::memcmp(t + i + 1, entity.name, entity.length) == 0) {
                    found = &entity;
                    break;
                }
            }
            out[used++] = found ? found->character : '&';
            i += found ? found->length + 1 : 1;
        } else {
            const int size = i < last ? CharSize(t, i) : 1;
            out[used++] = t[i];
            if (size == 2) {
                out[used++] = t[i + 1];
            }
            i += size;
        }
    }
    out.resize(used);
    return out;
}
