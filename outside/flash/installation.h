// The installation the control belongs to: the folder of its library, and the configuration
// file there, "Conf/default/config.ini", section [Flash]:
//   Version    = MAJOR.MINOR   the version FlashVersion reports (default 11.2)
//   Transcript = PATH          the transcript's file (a relative path is taken from the
//                              installation's folder); empty or absent: standard output
#pragma once

#include <cstdint>
#include <string>

namespace flash {

// The folder of the control's library, with no separator at the end.
std::string InstallFolder();

// FlashVersion's value: the major version in the high 16 bits, the minor in the low 16 bits.
// A missing or malformed value (not two whole numbers up to 65535) gives 11.2.
uint32_t ConfiguredVersion(const std::string& folder);

// The transcript's file, or "" for standard output.
std::string ConfiguredTranscript(const std::string& folder);

}  // namespace flash
