// The form of an ExternalInterface request as the movie writes it.
#pragma once

#include <string>

namespace flash {

// "" when `request` is one element <invoke name="..." returntype="xml"> with an <arguments>
// child and its closing tag; otherwise what is wrong.
std::string CheckRequestXml(const std::string& request);

// The name attribute of a request that passed the check.
std::string RequestName(const std::string& request);

// What a reply shows in a live label: the text of a one-element reply ("<number>215</number>"
// shows "215", "<true />" shows "true"); any other reply as it is.
std::string ReplyText(const std::string& reply);

}  // namespace flash
