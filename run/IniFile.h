#pragma once

#include "text/Status.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bitexa {

// An initialisation file of [section] lines and key=value lines, kept as its lines so that
// setting a value rewrites only that line: every other section, key, comment and blank line
// stays where the user put it. Text is UTF-8 bytes; section and key names compare ignoring
// ASCII letter case, as the platform's own profile functions do.
class IniFile {
public:
    // Reads the file. A missing file gives an empty document and succeeds; a file that exists
    // but cannot be read (or is not a regular file) fails, so that a later save does not replace
    // content it never saw.
    Status Load(const std::wstring& path);

    // Replaces the file with Serialize() through the program's file writer (see WriteFile), so
    // a crash or a full disk leaves either the old or the new file.
    Status Save(const std::wstring& path) const;

    void Parse(std::string_view bytes);
    std::string Serialize() const;

    // The value of the first such key in the first such section, without the spaces around it
    // and without one pair of enclosing quotes; nothing when absent.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Changes the value in place. A new key goes after the last key of its section, a new
    // section at the end of the file.
    void Set(std::string_view section, std::string_view key, std::string_view value);

private:
    struct Position {
        std::size_t sectionHeader; // index of the [section] line
        std::size_t end;           // index past the last line of the section
    };
    std::optional<Position> FindSection(std::string_view section) const;
    std::optional<std::size_t> FindKey(const Position& where, std::string_view key) const;

    std::vector<std::string> m_lines; // without their line ends
    std::string m_newline = "\n";     // the file's own line end, kept for lines we add
    bool m_byteOrderMark = false;
};

// Reads an integer the way the platform's profile reader does: optional blanks, an optional
// sign, then decimal digits up to the first other character; no digits read as 0. Values beyond
// the range of int stop at its ends.
int ParseProfileInt(std::string_view text);

} // namespace bitexa
