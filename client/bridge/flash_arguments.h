// The arguments of one request, read by kind and order: each search goes on among the siblings
// after the element last found, skipping elements of the other kind; a failed search leaves the
// place where it was. Without the "arguments" element every argument is missing: "" or 0.
#pragma once

#include <string>

#include "xml_archive.h"

class FlashArguments {
public:
    // Steps from the found "invoke" element into its "arguments" element.
    explicit FlashArguments(CXmlArchive& request);

    bool Present() const { return present_; }
    // The next "string" argument's text ("" when missing); found tells whether there was one.
    std::string String(bool* found = nullptr);
    // The next "number" argument's text ("" when missing, which reads as 0).
    std::string Number(bool* found = nullptr);

private:
    std::string Next(const char* kind, bool* found);

    CXmlArchive& request_;
    bool present_ = false;
};
