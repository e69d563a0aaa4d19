// Text between the movie's UTF-8, the automation's BSTR and the drawing's narrow (GBK) text.
#pragma once

#include <string>

#include "windows.h"

namespace flash {

// A new BSTR of the UTF-8 text (the caller frees it); null when the text is not UTF-8.
BSTR Utf8ToBstr(const std::string& text);
// The BSTR's text as UTF-8; false when it holds a lone surrogate.
bool BstrToUtf8(BSTR text, std::string* out);
// The UTF-8 text in the narrow code page, characters it cannot express as '?'.
std::string Utf8ToNarrow(const std::string& text);

}  // namespace flash
