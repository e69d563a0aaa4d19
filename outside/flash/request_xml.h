// The form of an ExternalInterface request as the movie writes it.
#pragma once

#include <string>

namespace flash {

// "" when `request` is one element <invoke name="..." returntype="xml"> with an <arguments>
// child and its closing tag; otherwise what is wrong.
std::string CheckRequestXml(const std::string& request);

// The name attribute of a request that passed the check.
std::string RequestName(const std::string& request);

// The text of a reply, as a live label shows it and a poll compares it: the text of a
// one-element reply ("<number>215</number>" and "<number>215</number>" CR LF give "215",
// "<true />" gives "true"); any other reply as it is. Blanks and line ends around the reply
// are dropped first.
std::string ReplyText(const std::string& reply);

}  // namespace flash
