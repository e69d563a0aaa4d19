// Fuzz target of the markup parser. The input up to its first NUL byte is a document text; the
// bytes after it are a script of searches, reads and additions. The document is parsed, every
// element is read, and the script runs on it; the table must always point at the tags it names.
// The same script also runs on an empty document, whose table must then equal a fresh parse.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "xml_archive.h"

namespace {

// A broken invariant ends the run with the line that found it.
#define Check(ok) CheckAt((ok), __LINE__)

void CheckAt(bool ok, int line) {
    if (!ok) {
        std::fprintf(stderr, "markup_fuzz: check at line %d failed\n", line);
        std::abort();
    }
}

// Every record in use lies in the text, on the bytes its fields name, and links within the table.
void CheckTable(const CXmlDoc& doc) {
    const std::string text = doc.GetDocText();
    const int length = static_cast<int>(text.size());
    const int used = doc.GetNextFree();
    for (int i = 1; i < used; ++i) {
        const CXmlDoc::ElemPos& r = doc.GetRecord(i);
        Check(0 <= r.startTagBegin && r.startTagBegin < r.startTagEnd && r.endTagEnd < length);
        Check(text[r.startTagBegin] == '<' && text[r.startTagEnd] == '>' &&
              text[r.endTagEnd] == '>');
        if (r.IsEmpty()) {
            Check(text[r.endTagBegin] == '/' && r.endTagEnd == r.startTagEnd);
        } else {
            Check(r.startTagEnd < r.endTagBegin && r.endTagBegin < r.endTagEnd &&
                  text[r.endTagBegin] == '<');
        }
        Check(r.reserved == 0 && r.parent >= 0 && r.parent < used && r.firstChild >= 0 &&
              r.firstChild < used && r.nextSibling >= 0 && r.nextSibling < used);
    }
}

void SameTree(const CXmlDoc& a, int pa, const CXmlDoc& b, int pb) {
    int x = a.GetRecord(pa).firstChild;
    int y = b.GetRecord(pb).firstChild;
    while (x != 0 || y != 0) {
        Check(x != 0 && y != 0);
        const CXmlDoc::ElemPos& r = a.GetRecord(x);
        const CXmlDoc::ElemPos& s = b.GetRecord(y);
        Check(r.startTagBegin == s.startTagBegin && r.startTagEnd == s.startTagEnd &&
              r.endTagBegin == s.endTagBegin && r.endTagEnd == s.endTagEnd && r.parent == pa);
        SameTree(a, x, b, y);
        x = r.nextSibling;
        y = s.nextSibling;
    }
}

// Reads every element, and walks down the first elements level by level.
void ReadAll(CXmlArchive& doc) {
    for (int i = 0; i <= doc.GetNextFree(); ++i) {
        doc.GetElementName(i);
        doc.GetElementData(i);
    }
    doc.ResetPos();
    while (doc.FindElement()) {
        doc.GetAttribute("");
        doc.GetAttribute("name");
        doc.GetData();
        while (doc.FindChildElement()) {
            doc.GetAttribute("name");
        }
        doc.IntoElement();
    }
    doc.ResetPos();
}

struct Script {
    std::string_view bytes;
    size_t at = 0;

    bool More() const { return at < bytes.size(); }
    uint8_t Byte() { return More() ? static_cast<uint8_t>(bytes[at++]) : 0; }
    std::string Slice(size_t n) {
        const std::string_view s = bytes.substr(std::min(at, bytes.size()), n);
        at += s.size();
        return std::string(s);
    }
    std::string Name() {
        static const char* const kNames[] = {"a",     "b", "number", "string", "\x81\x5C\xB8\xE8",
                                             "invoke"};
        const uint8_t b = Byte();
        if (b < 200) {
            return kNames[b % (sizeof(kNames) / sizeof(kNames[0]))];
        }
        return Slice(b % 8);  // arbitrary bytes: most are refused as names
    }
};

// Runs the script, checking the table after every addition, and with compareWithParse also
// that it equals the table of a fresh parse.
void Run(CXmlArchive& doc, std::string_view bytes, bool compareWithParse) {
    Script script{bytes};
    while (script.More()) {
        const uint8_t op = script.Byte();
        // Names and texts reach the document as C strings: up to a NUL they may hold.
        const std::string name = script.Name().c_str();
        const std::string text = script.Slice(script.Byte() % 24).c_str();
        bool added = false;
        switch (op % 8) {
            case 0:
            case 1:
                added = doc.AddElement(name.c_str(), (op & 0x10) ? nullptr : text.c_str());
                break;
            case 2:
                added = doc.AddChildElement(name.c_str(), text.c_str());
                break;
            case 3:
                doc.FindElement((op & 0x10) ? nullptr : name.c_str());
                break;
            case 4:
                doc.FindChildElement((op & 0x10) ? nullptr : name.c_str());
                break;
            case 5:
                doc.IntoElement();
                break;
            case 6:
                doc.ResetPos();
                break;
            default:
                doc.GetAttribute(name.c_str());
                doc.GetData();
                break;
        }
        if (added) {
            CheckTable(doc);
            Check(doc.GetElementName(doc.GetNextFree() - 1) == name);
            if (compareWithParse) {
                CXmlDoc fresh;
                Check(fresh.ParseText(doc.GetDocText().c_str()));
                Check(fresh.GetNextFree() == doc.GetNextFree());
                SameTree(doc, 0, fresh, 0);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(data ? reinterpret_cast<const char*>(data) : "", data ? size : 0);
    const size_t end = input.find('\0');
    const std::string text(input.substr(0, end));
    const std::string_view script =
        end == std::string_view::npos ? std::string_view() : input.substr(end + 1);

    CXmlArchive doc(3);
    doc.Open(text.c_str());
    CheckTable(doc);
    ReadAll(doc);
    Run(doc, script, false);
    ReadAll(doc);

    CXmlArchive built(3);
    Run(built, script, true);
    return 0;
}
