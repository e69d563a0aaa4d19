// How window lookups compare class names and titles: without regard to the case of ASCII
// letters; the two bytes of a GBK character compare exactly (a trail byte may be a letter).
#pragma once

#include <string_view>

namespace pal {

bool SameWindowText(std::string_view a, std::string_view b);

}  // namespace pal
