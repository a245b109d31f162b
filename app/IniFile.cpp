#include "app/IniFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bitexa {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// A file whose links point at each other in a circle must not hang the save.
constexpr int MaxLinkHops = 40;

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

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::filesystem::path FollowLinks(std::filesystem::path path) {
    for (int hop = 0; hop < MaxLinkHops; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error)) {
            break;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) {
            break;
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

// The permissions the file had, or those a newly created file gets, so that replacing the
// file does not change who may read it.
mode_t ModeForReplacement(const std::filesystem::path& target) {
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) {
        return status.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool IniFile::Load(const std::string& nativePath) {
    m_lines.clear();
    m_newline = "\n";
    m_byteOrderMark = false;
    struct stat status {};
    if (::stat(nativePath.c_str(), &status) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISREG(status.st_mode)) {
        // Opening a pipe would wait for a writer; a device or a folder holds no settings.
        return false;
    }
    std::FILE* file = std::fopen(nativePath.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::string bytes;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        return false;
    }
    Parse(bytes);
    return true;
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

bool IniFile::Save(const std::string& nativePath) const {
    const std::filesystem::path target = FollowLinks(nativePath);
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        // Renaming over a device or a pipe would replace it with a plain file.
        return false;
    }
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, Serialize()) && ::fchmod(fd, ModeForReplacement(target)) == 0 &&
              ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself survive a crash.
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
    return true;
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
