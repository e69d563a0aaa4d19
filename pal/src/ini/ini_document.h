// The text of an INI file: finding a key and editing one key or section while every other byte
// stays as it was. Lines end in LF, CR LF or a lone CR; the last line may have no end. A line
// whose first non-blank is "[" heads a section (its name runs to the first "]", or to the line's
// end when there is none); one whose first non-blank is ";" is a comment; any other with an "="
// is a key. Lines before the first section and lines without "=" belong to no key and are kept.
// Sections of the same name are read as one, in file order. A UTF-8 byte order mark is skipped.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pal::ini {

// The value of the key without its surrounding blanks and one pair of enclosing quotes, cut at
// a NUL byte; nullopt when the section or the key is missing.
std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key);

// The text with the key set to the value: the value of the key's first line is replaced; a
// missing key is added after the last key of the section's first part (after its header when
// it has none); a missing section is added at the end.
std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value);

// The text without the key's lines.
std::string DeleteKey(std::string_view text, std::string_view section, std::string_view key);

// The text without the section: its headers and every line up to the next section.
std::string DeleteSection(std::string_view text, std::string_view section);

// Blanks as the profile functions trim them.
bool IsBlank(char c);
std::string_view Trim(std::string_view text);

}  // namespace pal::ini
