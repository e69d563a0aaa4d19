// Reading the version service's reply: the walk over its "flash" entries for the one named
// "pack".
#pragma once

#ifndef TIXML_USE_STL
#define TIXML_USE_STL  // the system's TinyXML is built with it; the layouts must match
#endif
#include <tinyxml.h>

#include <cstddef>
#include <string>

// The most element tags a reply may hold. TinyXML parses nested elements by recursion, so a
// reply nested deeply enough would overflow the stack; a reply with more tags than this is read
// as one without a version. Real replies hold a few entries of three elements each.
constexpr size_t kMaxReplyElements = 4096;

// The text of the named child of node: the value of that child's first child node (the text for
// text content, the tag name for an element, the text of a comment); empty when either is
// missing.
std::string GetChildText(const TiXmlNode* node, const std::string& name);

// Parses the NUL-terminated reply and walks brindo_fans / flashlist / flash and the siblings
// that follow it, stopping at the first node that is not an element. True, with the entry's
// "ver" text (possibly empty), when an entry named "pack" was found; false otherwise (also for a
// reply that is not XML or has more than kMaxReplyElements element tags). Parse errors are not
// looked at: a broken reply just yields missing nodes.
bool FindPackVersion(const char* reply, std::string& version);
