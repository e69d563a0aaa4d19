// Ordering of dotted version texts.
#pragma once

#include <string>

// Compares two version texts of digits and dots part by part, each part as a number of any
// length (leading zeros do not count), a missing part counting as 0: 1.0.0.10 is newer than
// 1.0.0.9 and 1.2 equals 1.2.0.0. Negative, 0 or positive as a is older than, equal to or newer
// than b. Both texts are expected to pass IsVersionText.
int CompareVersions(const std::string& a, const std::string& b);
