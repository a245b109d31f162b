#include "lexical/LatinTokens.h"

#include "lexical/Characters.h"

#include <algorithm>
#include <string>

namespace bitexa {

namespace {

bool IsOneOf(char32_t c, std::string_view set) {
    return c < 0x80 && set.find(static_cast<char>(c)) != std::string_view::npos;
}

// A chunk is a run of printable ASCII without brackets and quotation marks: a word with what
// clings to it (a path, an option, an address, a placeholder).
bool IsChunkCharacter(char32_t c) {
    return c >= 0x21 && c <= 0x7E && !IsOneOf(c, "\"'`()[]<>;");
}

std::string Ascii(std::u32string_view s, bool lower) {
    std::string out;
    out.reserve(s.size());
    for (char32_t c : s) {
        out.push_back(lower ? AsciiLower(c) : static_cast<char>(c));
    }
    return out;
}

std::string Lower(std::string text) {
    for (char& c : text) {
        c = AsciiLower(static_cast<unsigned char>(c));
    }
    return text;
}

class ChunkScanner {
public:
    ChunkScanner(WordStemmer& stemmer, TokenTable& table, std::vector<TokenId>& out)
        : m_stemmer(stemmer), m_table(table), m_out(out) {}

    void Scan(std::u32string_view chunk) {
        // Sentence punctuation around a chunk is not part of it.
        while (!chunk.empty() && IsOneOf(chunk.front(), ".,:!?")) {
            chunk.remove_prefix(1);
        }
        while (!chunk.empty() && IsOneOf(chunk.back(), ".,:!?")) {
            chunk.remove_suffix(1);
        }
        if (chunk.empty() || WholeChunk(Ascii(chunk, false))) {
            return;
        }
        std::size_t k = 0;
        while (k < chunk.size()) {
            k = Token(chunk, k);
        }
    }

private:
    void Add(TokenKind kind, std::string_view text) { m_out.push_back(m_table.Intern(kind, text)); }

    // A chunk that is a whole URL, e-mail address, option or file name gives one token.
    bool WholeChunk(const std::string& chunk) {
        const std::string lower = Lower(chunk);
        if (lower.find("://") != std::string::npos || lower.starts_with("www.")) {
            Add(TokenKind::Url, lower);
            return true;
        }
        const std::size_t at = chunk.find('@');
        if (at != std::string::npos && at > 0 && at + 1 < chunk.size() &&
            IsAsciiLetter(static_cast<unsigned char>(chunk[at + 1])) &&
            chunk.find('.', at) != std::string::npos) {
            Add(TokenKind::Email, lower);
            return true;
        }
        if (IsOption(chunk)) {
            Add(TokenKind::Option, chunk.substr(0, chunk.find_first_of("=[,")));
            return true;
        }
        if (chunk.starts_with("/") || chunk.starts_with("~/") || chunk.starts_with("./") ||
            chunk.starts_with("../") || (chunk.size() > 2 && chunk[1] == ':' && chunk[2] == '\\')) {
            if (chunk.size() > 2) {
                Add(TokenKind::File, chunk); // paths keep their case: the system does
                return true;
            }
            return false;
        }
        if (IsFileName(chunk)) {
            Add(TokenKind::File, lower);
            return true;
        }
        return false;
    }

    static bool IsOption(const std::string& chunk) {
        if (chunk.size() < 2 || chunk[0] != '-') {
            return false;
        }
        if (IsAsciiLetter(static_cast<unsigned char>(chunk[1]))) {
            return true;
        }
        return chunk[1] == '-' && chunk.size() > 2 &&
               IsAsciiLetter(static_cast<unsigned char>(chunk[2]));
    }

    // name.ext, or .ext alone: a dot, then 1 to 5 letters or digits starting with a letter.
    static bool IsFileName(const std::string& chunk) {
        const std::size_t dot = chunk.rfind('.');
        if (dot == std::string::npos || dot + 1 >= chunk.size() || chunk.size() - dot - 1 > 5 ||
            !IsAsciiLetter(static_cast<unsigned char>(chunk[dot + 1])) ||
            chunk.find('%') != std::string::npos || (dot == 0 ? chunk.size() < 3 : dot < 2)) {
            return false;
        }
        return std::all_of(chunk.begin(), chunk.end(), [](char c) {
            return IsWordCharacter(static_cast<unsigned char>(c)) || c == '.' || c == '-';
        });
    }

    // The token that starts at chunk[k], if any; returns where the next one may start.
    std::size_t Token(std::u32string_view s, std::size_t k) {
        const char32_t c = s[k];
        if (c == U'%') {
            return Printf(s, k);
        }
        if (c == U'{') {
            std::size_t p = k + 1;
            while (p < s.size() && IsWordCharacter(s[p])) {
                ++p;
            }
            if (p < s.size() && s[p] == U'}') {
                Add(TokenKind::Placeholder, Ascii(s.substr(k, p + 1 - k), false));
                return p + 1;
            }
            return k + 1;
        }
        if (c == U'$' && k + 1 < s.size() && (IsAsciiLetter(s[k + 1]) || s[k + 1] == U'{')) {
            std::size_t p = k + 1 + (s[k + 1] == U'{' ? 1 : 0);
            const std::size_t name = p;
            while (p < s.size() && IsWordCharacter(s[p])) {
                ++p;
            }
            Add(TokenKind::Placeholder, "$" + Ascii(s.substr(name, p - name), true));
            return p < s.size() && s[p] == U'}' ? p + 1 : p;
        }
        if (IsAsciiDigit(c) && (k == 0 || !IsWordCharacter(s[k - 1]))) {
            return Number(s, k);
        }
        if (IsAsciiLetter(c) || c == U'_') {
            std::size_t p = k;
            bool identifier = false;
            while (p < s.size() && IsWordCharacter(s[p])) {
                identifier = identifier || !IsAsciiLetter(s[p]);
                ++p;
            }
            const std::string word = Ascii(s.substr(k, p - k), true);
            if (word.size() > 1) {
                if (identifier) {
                    Add(TokenKind::Word, word);
                } else if (!WordStemmer::IsStopWord(word)) {
                    Add(TokenKind::Word, m_stemmer.Stem(word));
                }
            }
            return p;
        }
        return k + 1;
    }

    // Digits with thousands separators and a decimal part; a number that runs into letters
    // (64bit, 3D) is an identifier.
    std::size_t Number(std::u32string_view s, std::size_t k) {
        std::size_t p = k;
        std::string number;
        while (p < s.size()) {
            if (IsAsciiDigit(s[p])) {
                number.push_back(static_cast<char>(s[p++]));
            } else if (s[p] == U',' && p + 3 < s.size() && IsAsciiDigit(s[p + 1]) &&
                       IsAsciiDigit(s[p + 2]) && IsAsciiDigit(s[p + 3]) &&
                       (p + 4 >= s.size() || !IsAsciiDigit(s[p + 4]))) {
                ++p;
            } else if (s[p] == U'.' && p + 1 < s.size() && IsAsciiDigit(s[p + 1])) {
                number.push_back('.');
                ++p;
            } else {
                break;
            }
        }
        if (p < s.size() && IsAsciiLetter(s[p])) {
            while (p < s.size() && IsWordCharacter(s[p])) {
                ++p;
            }
            Add(TokenKind::Word, Ascii(s.substr(k, p - k), true));
        } else {
            Add(TokenKind::Number, number);
        }
        return p;
    }

    // A printf conversion (flags, width, precision, length, letter) without its positional
    // index, or Qt's %1; a lone % is none.
    std::size_t Printf(std::u32string_view s, std::size_t k) {
        std::size_t p = k + 1;
        std::size_t digits = p;
        while (digits < s.size() && IsAsciiDigit(s[digits])) {
            ++digits;
        }
        if (digits > p && digits < s.size() && s[digits] == U'$') {
            p = digits + 1; // %1$s -> %s
        } else if (digits > p && (digits == s.size() || !IsAsciiLetter(s[digits]))) {
            Add(TokenKind::Placeholder, Ascii(s.substr(k, digits - k), false)); // Qt's %1
            return digits;
        }
        std::string conversion = "%";
        const auto take = [&](auto accepts) {
            while (p < s.size() && accepts(s[p])) {
                conversion.push_back(static_cast<char>(s[p++]));
            }
        };
        const auto isCount = [](char32_t c) { return IsAsciiDigit(c) || c == U'*'; };
        take([](char32_t c) { return IsOneOf(c, "-+ #0'"); });
        take(isCount);
        if (p < s.size() && s[p] == U'.') {
            conversion.push_back('.');
            ++p;
            take(isCount);
        }
        take([](char32_t c) { return IsOneOf(c, "hlLqjzt"); });
        if (p < s.size() && IsAsciiLetter(s[p])) {
            conversion.push_back(static_cast<char>(s[p++]));
            Add(TokenKind::Placeholder, conversion);
            return p;
        }
        return k + 1;
    }

    WordStemmer& m_stemmer;
    TokenTable& m_table;
    std::vector<TokenId>& m_out;
};

// Quotation marks whose contents, if plain ASCII, survive translation as they are.
char32_t ClosingQuote(char32_t c) {
    switch (c) {
    case U'\u201C':
        return U'\u201D';
    case U'\u2018':
        return U'\u2019';
    case U'"':
        return U'"';
    case U'\'':
    case U'`':
        return U'\'';
    case U'\u300C':
        return U'\u300D';
    case U'\u300E':
        return U'\u300F';
    default:
        return 0;
    }
}

// The longest quoted literal taken: longer quotations are prose, not a name.
constexpr std::size_t LongestLiteral = 40;

void AddQuoted(std::u32string_view s, TokenTable& table, std::vector<TokenId>& out) {
    for (std::size_t k = 0; k < s.size(); ++k) {
        const char32_t close = ClosingQuote(s[k]);
        // An apostrophe inside a word (isn't) opens nothing.
        if (close == 0 || (s[k] == U'\'' && k > 0 && IsWordCharacter(s[k - 1]))) {
            continue;
        }
        std::size_t p = k + 1;
        int wordCharacters = 0;
        bool ascii = true;
        while (p < s.size() && p - k <= LongestLiteral + 1 && s[p] != close) {
            ascii = ascii && s[p] >= 0x20 && s[p] < 0x7F;
            wordCharacters += IsWordCharacter(s[p]) ? 1 : 0;
            ++p;
        }
        if (p < s.size() && s[p] == close && ascii && wordCharacters >= 2 &&
            p - k - 1 <= LongestLiteral) {
            const std::string inner = Ascii(s.substr(k + 1, p - k - 1), true);
            // "%s" in quotes is the placeholder's token already.
            if (!(inner[0] == '%' && inner.size() <= 4)) {
                out.push_back(table.Intern(TokenKind::Quoted, inner));
            }
            k = p;
        }
    }
}

} // namespace

void AddLatinTokens(std::wstring_view text, WordStemmer& stemmer, TokenTable& table,
                    std::vector<TokenId>& out) {
    std::u32string folded(text.size(), U' ');
    std::transform(text.begin(), text.end(), folded.begin(),
                   [](wchar_t c) { return FoldWidth(static_cast<char32_t>(c)); });
    const std::u32string_view s = folded;
    AddQuoted(s, table, out);
    ChunkScanner scanner(stemmer, table, out);
    std::size_t k = 0;
    while (k < s.size()) {
        if (!IsChunkCharacter(s[k])) {
            ++k;
            continue;
        }
        std::size_t end = k;
        while (end < s.size() && IsChunkCharacter(s[end])) {
            ++end;
        }
        scanner.Scan(s.substr(k, end - k));
        k = end;
    }
}

} // namespace bitexa
