#include "ini/ini_document.h"

#include <vector>

#include "text/gbk_name.h"

namespace pal::ini {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
    size_t begin = 0;
    while (begin < text.size() && IsBlank(text[begin])) {
        ++begin;
    }
    size_t end = text.size();
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

enum class Kind { kOther, kSection, kKey };

struct Line {
    size_t begin = 0;  // first byte of the line
    size_t end = 0;    // end of its content, before the line break
    size_t next = 0;   // first byte after the line break
    Kind kind = Kind::kOther;
    std::string_view name;  // section or key name, trimmed
    size_t valueBegin = 0;  // the key's value, trimmed: [valueBegin, valueEnd)
    size_t valueEnd = 0;
    int section = -1;  // index of the heading line, -1 before the first
};

void Classify(std::string_view text, Line* line) {
    size_t start = line->begin;
    if (start == 0 && text.substr(0, 3) == kByteOrderMark) {
        start = 3;
    }
    std::string_view content = text.substr(start, line->end - start);
    std::string_view trimmed = Trim(content);
    if (trimmed.empty() || trimmed[0] == ';') {
        return;
    }
    if (trimmed[0] == '[') {
        std::string_view rest = trimmed.substr(1);
        size_t close = fs::FindChar(rest, ']');
        line->kind = Kind::kSection;
        line->name = Trim(close == rest.npos ? rest : rest.substr(0, close));
        return;
    }
    size_t equals = content.find('=');  // "=" is never the second byte of a GBK character
    if (equals == content.npos) {
        return;
    }
    line->kind = Kind::kKey;
    line->name = Trim(content.substr(0, equals));
    size_t offset = start + equals + 1;
    std::string_view value = content.substr(equals + 1);
    size_t lead = 0;
    while (lead < value.size() && IsBlank(value[lead])) {
        ++lead;
    }
    std::string_view core = Trim(value);
    line->valueBegin = offset + lead;
    line->valueEnd = line->valueBegin + core.size();
}

std::vector<Line> Parse(std::string_view text) {
    std::vector<Line> lines;
    int section = -1;
    size_t at = 0;
    while (at < text.size()) {
        Line line;
        line.begin = at;
        size_t stop = text.find_first_of("\r\n", at);
        line.end = stop == text.npos ? text.size() : stop;
        line.next = line.end;
        if (line.next < text.size()) {
            line.next += (text[line.next] == '\r' && line.next + 1 < text.size() &&
                          text[line.next + 1] == '\n')
                             ? 2
                             : 1;
        }
        Classify(text, &line);
        if (line.kind == Kind::kSection) {
            section = static_cast<int>(lines.size());
        }
        line.section = section;
        lines.push_back(line);
        at = line.next;
    }
    return lines;
}

bool InSection(const std::vector<Line>& lines, const Line& line, std::string_view section) {
    return line.section >= 0 && fs::EqualNoCase(lines[line.section].name, section);
}

bool IsKey(const std::vector<Line>& lines, const Line& line, std::string_view section,
           std::string_view key) {
    return line.kind == Kind::kKey && fs::EqualNoCase(line.name, key) &&
           InSection(lines, line, section);
}

// The line break this file uses: that of its first line that has one, else LF.
std::string_view NewlineOf(std::string_view text, const std::vector<Line>& lines) {
    for (const Line& line : lines) {
        if (line.next > line.end) {
            return text.substr(line.end, line.next - line.end);
        }
    }
    return "\n";
}

// The text with a line inserted after lines[after] (or at the end when after is npos), giving
// the line before it a line break when it had none.
std::string InsertLine(std::string_view text, const std::vector<Line>& lines, size_t after,
                       const std::string& line) {
    std::string_view newline = NewlineOf(text, lines);
    size_t at = after == std::string::npos ? text.size() : lines[after].next;
    std::string out(text.substr(0, at));
    const Line* previous =
        after != std::string::npos ? &lines[after] : (lines.empty() ? nullptr : &lines.back());
    if (previous && previous->next == previous->end) {
        out += newline;
    }
    out += line;
    out += newline;
    out += text.substr(at);
    return out;
}

// Appends the line to out when keep is true; a removed first line leaves its byte order mark.
void CopyLine(std::string_view text, const Line& line, bool keep, std::string* out) {
    if (keep) {
        *out += text.substr(line.begin, line.next - line.begin);
    } else if (line.begin == 0 && text.substr(0, 3) == kByteOrderMark) {
        *out += kByteOrderMark;
    }
}

}  // namespace

std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    std::vector<Line> lines = Parse(text);
    for (const Line& line : lines) {
        if (!IsKey(lines, line, section, key)) {
            continue;
        }
        std::string_view value = text.substr(line.valueBegin, line.valueEnd - line.valueBegin);
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
            value.back() == value[0]) {
            value = value.substr(1, value.size() - 2);
        }
        return std::string(value.substr(0, value.find('\0')));
    }
    return std::nullopt;
}

std::string SetValue(std::string_view text, std::string_view section, std::string_view key,
                     std::string_view value) {
    section = Trim(section);
    key = Trim(key);
    std::vector<Line> lines = Parse(text);
    size_t lastInFirstPart = std::string::npos;
    int firstHeading = -1;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (IsKey(lines, line, section, key)) {
            std::string out(text.substr(0, line.valueBegin));
            out += value;
            out += text.substr(line.valueEnd);
            return out;
        }
        if (line.kind == Kind::kSection && firstHeading < 0 &&
            fs::EqualNoCase(line.name, section)) {
            firstHeading = static_cast<int>(i);
            lastInFirstPart = i;
        } else if (firstHeading >= 0 && line.section == firstHeading && line.kind == Kind::kKey) {
            lastInFirstPart = i;
        }
    }
    std::string entry = std::string(key) + "=" + std::string(value);
    if (firstHeading >= 0) {
        return InsertLine(text, lines, lastInFirstPart, entry);
    }
    std::string withHeading =
        InsertLine(text, lines, std::string::npos, "[" + std::string(section) + "]");
    std::vector<Line> again = Parse(withHeading);
    return InsertLine(withHeading, again, again.size() - 1, entry);
}

std::string DeleteKey(std::string_view text, std::string_view section, std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    std::vector<Line> lines = Parse(text);
    std::string out;
    for (const Line& line : lines) {
        CopyLine(text, line, !IsKey(lines, line, section, key), &out);
    }
    return out;
}

std::string DeleteSection(std::string_view text, std::string_view section) {
    section = Trim(section);
    std::vector<Line> lines = Parse(text);
    std::string out;
    for (const Line& line : lines) {
        CopyLine(text, line, !InSection(lines, line, section), &out);
    }
    return out;
}

}  // namespace pal::ini
