#include "run/IniFile.h"

#include "run/FileWriter.h"
#include "text/FileReader.h"

#include <cerrno>
#include <climits>
#include <vector>

namespace bitexa {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// The name of a [section] line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    const std::size_t close = line.find(']');
    return Trim(line.substr(0, close));
}

// Where the "=" of a key line is; comments and lines without "=" hold no key.
std::optional<std::size_t> EqualsOfKeyLine(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#' ||
        trimmed.front() == '[') {
        return std::nullopt;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    return equals;
}

bool IsQuote(char c) {
    return c == '"' || c == '\'';
}

// Reading drops the blanks around a value and one pair of enclosing quotes, so a value that
// begins or ends with a blank, or that is itself enclosed in quotes, is written inside quotes to
// come back unchanged.
std::string EncodeValue(std::string_view value) {
    const bool needsQuotes =
        !value.empty() &&
        (IsBlank(value.front()) || IsBlank(value.back()) ||
         (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back()));
    if (needsQuotes) {
        return "\"" + std::string(value) + "\"";
    }
    return std::string(value);
}

std::string DecodeValue(std::string_view raw) {
    raw = Trim(raw);
    if (raw.size() >= 2 && IsQuote(raw.front()) && raw.front() == raw.back()) {
        raw = raw.substr(1, raw.size() - 2);
    }
    return std::string(raw);
}

} // namespace

Status IniFile::Load(const std::wstring& path) {
    m_lines.clear();
    m_newline = "\n";
    m_byteOrderMark = false;
    std::vector<unsigned char> bytes;
    if (Status status = ReadFileBytes(path, bytes); !status.ok()) {
        // Nothing there yet: the first save creates the file.
        return status.error == ENOENT ? Status::Success() : status;
    }
    Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return Status::Success();
}

void IniFile::Parse(std::string_view bytes) {
    m_lines.clear();
    m_newline = "\n";
    m_byteOrderMark = bytes.starts_with(ByteOrderMark);
    if (m_byteOrderMark) {
        bytes.remove_prefix(ByteOrderMark.size());
    }
    const std::size_t firstBreak = bytes.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && bytes[firstBreak - 1] == '\r') {
        m_newline = "\r\n";
    }
    // Only the file's own line end is taken off: a stray CR in a file of LF lines stays in its
    // line (as a blank to the reader), so that rewriting the file never eats into it.
    const bool crlf = m_newline == "\r\n";
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (crlf && !line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        m_lines.emplace_back(line);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
}

std::string IniFile::Serialize() const {
    std::string bytes;
    if (m_byteOrderMark) {
        bytes += ByteOrderMark;
    }
    for (const std::string& line : m_lines) {
        bytes += line;
        bytes += m_newline;
    }
    return bytes;
}

std::optional<IniFile::Position> IniFile::FindSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = SectionName(m_lines[i]);
        if (!name || !EqualIgnoringCase(*name, section)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < m_lines.size() && !SectionName(m_lines[end])) {
            ++end;
        }
        return Position{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniFile::FindKey(const Position& where, std::string_view key) const {
    for (std::size_t i = where.sectionHeader + 1; i < where.end; ++i) {
        const auto equals = EqualsOfKeyLine(m_lines[i]);
        if (equals &&
            EqualIgnoringCase(Trim(std::string_view(m_lines[i]).substr(0, *equals)), key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    const auto where = FindSection(section);
    if (!where) {
        return std::nullopt;
    }
    const auto line = FindKey(*where, key);
    if (!line) {
        return std::nullopt;
    }
    const std::string_view text = m_lines[*line];
    return DecodeValue(text.substr(*EqualsOfKeyLine(text) + 1));
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
    // A line break in a value would start a line of its own and could even forge another key.
    value = value.substr(0, value.find_first_of("\r\n"));
    const std::string encoded = EncodeValue(value);

    const auto where = FindSection(section);
    if (!where) {
        if (!m_lines.empty() && !Trim(m_lines.back()).empty()) {
            m_lines.emplace_back();
        }
        m_lines.push_back("[" + std::string(section) + "]");
        m_lines.push_back(std::string(key) + "=" + encoded);
        return;
    }
    if (const auto line = FindKey(*where, key)) {
        // Keep the key as the file spells it, and the blanks around the "=".
        std::string& text = m_lines[*line];
        std::size_t valueStart = *EqualsOfKeyLine(text) + 1;
        while (valueStart < text.size() && IsBlank(text[valueStart])) {
            ++valueStart;
        }
        text = text.substr(0, valueStart) + encoded;
        return;
    }
    std::size_t insertAt = where->sectionHeader + 1;
    for (std::size_t i = where->sectionHeader + 1; i < where->end; ++i) {
        if (EqualsOfKeyLine(m_lines[i])) {
            insertAt = i + 1;
        }
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                   std::string(key) + "=" + encoded);
}

Status IniFile::Save(const std::wstring& path) const {
    return WriteFile(path, [this](ByteSink& sink) { return sink.Write(Serialize()); });
}

int ParseProfileInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit) {
            value = limit;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace bitexa
