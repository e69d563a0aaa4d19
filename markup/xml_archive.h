// CXmlArchive: the class through which the client uses the markup parser. It opens a request
// text for reading, or starts from an empty document to build a reply. The four element
// operations are virtual here, in this slot order after the destructor, and each calls the
// document operation of the same name.
#pragma once

#include <string>

#include "xml_doc.h"

class CXmlArchive : public CXmlDoc {
public:
    explicit CXmlArchive(int mode);
    ~CXmlArchive() override;

    virtual bool AddElement(const char* name, const char* text = nullptr);
    virtual bool AddChildElement(const char* name, const char* text = nullptr);
    virtual bool FindElement(const char* name = nullptr);
    virtual bool FindChildElement(const char* name = nullptr);

    // Replaces the document by the text; false without a text (nothing changes) or when the text
    // does not parse. Clears the lowest bit of the mode.
    bool Open(const char* text);
    // Marks the archive closed; always true.
    bool Close();

    int GetMode() const { return mode; }
    const std::string& GetEncoding() const { return encoding; }
    bool IsOpen() const { return isOpen; }

protected:
    int mode;              // as given at construction (the client gives 3)
    std::string encoding;  // "ISO-8859-1"; stored, read by nothing
    bool isOpen = false;
};
