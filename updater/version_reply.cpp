#include "version_reply.h"

#include <cctype>

namespace {

// The number of "<" that start an element tag, wherever they stand: a bound on the nesting
// depth the parser can reach, whatever the rest of the text says.
size_t ElementTags(const char* text) {
    size_t tags = 0;
    for (const char* p = text; *p; ++p) {
        if (p[0] == '<' && (std::isalpha(static_cast<unsigned char>(p[1])) || p[1] == '_' ||
                            static_cast<unsigned char>(p[1]) >= 0x80)) {
            ++tags;
        }
    }
    return tags;
}

}  // namespace

std::string GetChildText(const TiXmlNode* node, const std::string& name) {
    const TiXmlNode* child = node->FirstChild(name.c_str());
    if (!child) {
        return std::string();
    }
    const TiXmlNode* first = child->FirstChild();
    if (!first || !first->Value()) {
        return std::string();
    }
    return first->Value();
}

bool FindPackVersion(const char* reply, std::string& version) {
    if (ElementTags(reply) > kMaxReplyElements) {
        return false;
    }
    TiXmlDocument document;
    document.Parse(reply);
    TiXmlNode* node = TiXmlHandle(&document)
                          .FirstChild("brindo_fans")
                          .FirstChild("flashlist")
                          .FirstChild("flash")
                          .ToNode();
    for (; node; node = node->NextSibling()) {
        if (!node->ToElement()) {
            return false;  // the walk ends at a comment, text or other node
        }
        if (GetChildText(node, "name") == "pack") {
            version = GetChildText(node, "ver");
            return true;
        }
    }
    return false;
}
