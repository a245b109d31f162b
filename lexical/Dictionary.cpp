#include "lexical/Dictionary.h"

#include "text/NativePath.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace bitexa {

namespace {

// The wanted forms in the file's encoding, each with its UTF-8 spelling.
using WantedForms = std::unordered_map<std::string, std::string>;

WantedForms ToEucJp(const std::vector<std::string>& forms) {
    WantedForms wanted;
    iconv_t converter = iconv_open("EUC-JP", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return wanted;
    }
    std::string out;
    for (const std::string& form : forms) {
        out.assign(form.size() * 2 + 8, '\0');
        char* in = const_cast<char*>(form.data());
        std::size_t inLeft = form.size();
        char* to = out.data();
        std::size_t outLeft = out.size();
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        // A form with a character that EUC-JP lacks heads no entry.
        if (iconv(converter, &in, &inLeft, &to, &outLeft) != static_cast<std::size_t>(-1)) {
            out.resize(out.size() - outLeft);
            wanted.emplace(out, form);
        }
    }
    iconv_close(converter);
    return wanted;
}

// The stems of the words of one gloss, outside parentheses and braces.
void AddGlossStems(std::string_view gloss, WordStemmer& stemmer, TokenTable& table,
                   std::vector<TokenId>& out) {
    std::string word;
    int depth = 0;
    const auto flush = [&] {
        if (word.size() > 1 && !WordStemmer::IsStopWord(word)) {
            out.push_back(table.Intern(TokenKind::Word, stemmer.Stem(word)));
        }
        word.clear();
    };
    for (const char c : gloss) {
        if (c == '(' || c == '{') {
            flush();
            ++depth;
        } else if ((c == ')' || c == '}') && depth > 0) {
            --depth;
        } else if (depth == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            word.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
        } else {
            flush();
        }
    }
    flush();
}

class EntryReader {
public:
    EntryReader(const WantedForms& wanted, WordStemmer& stemmer, TokenTable& table,
                std::unordered_map<std::string, std::vector<TokenId>>& translations)
        : m_wanted(wanted), m_stemmer(stemmer), m_table(table), m_translations(translations) {}

    void Line(std::string_view line) {
        const std::size_t space = line.find(' ');
        const std::size_t glosses = line.find('/');
        if (space == std::string_view::npos || glosses == std::string_view::npos ||
            glosses < space) {
            return;
        }
        std::string_view reading;
        if (space + 1 < line.size() && line[space + 1] == '[') {
            const std::size_t close = line.find(']', space);
            if (close != std::string_view::npos && close < glosses) {
                reading = line.substr(space + 2, close - space - 2);
            }
        }
        const auto byHeadword = m_wanted.find(std::string(line.substr(0, space)));
        const bool usuallyKana = !reading.empty() && line.find("(uk)", glosses) != line.npos;
        const auto byReading = usuallyKana ? m_wanted.find(std::string(reading)) : m_wanted.end();
        if (byHeadword == m_wanted.end() && byReading == m_wanted.end()) {
            return;
        }
        m_stems.clear();
        std::size_t g = glosses + 1;
        while (g < line.size()) {
            std::size_t slash = line.find('/', g);
            if (slash == std::string_view::npos) {
                slash = line.size();
            }
            const std::string_view gloss = line.substr(g, slash - g);
            // The entry's sequence number, not a translation.
            if (!gloss.starts_with("EntL")) {
                AddGlossStems(gloss, m_stemmer, m_table, m_stems);
            }
            g = slash + 1;
        }
        for (const auto& found : {byHeadword, byReading}) {
            if (found != m_wanted.end()) {
                auto& list = m_translations[found->second];
                list.insert(list.end(), m_stems.begin(), m_stems.end());
            }
        }
    }

private:
    const WantedForms& m_wanted;
    WordStemmer& m_stemmer;
    TokenTable& m_table;
    std::unordered_map<std::string, std::vector<TokenId>>& m_translations;
    std::vector<TokenId> m_stems;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

Status BilingualDictionary::Load(const std::string& path,
                                 const std::vector<std::string>& wantedForms, WordStemmer& stemmer,
                                 TokenTable& table) {
    m_translations.clear();
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return Status::FromErrno(Status::Kind::CannotRead, PathFromNative(path), errno);
    }
    const WantedForms wanted = ToEucJp(wantedForms);
    EntryReader reader(wanted, stemmer, table, m_translations);
    // Block by block: the whole file (19 MB) would add its size to the run's peak memory.
    std::vector<char> block(std::size_t{1} << 20);
    std::size_t kept = 0; // an unfinished line carried to the front of the block
    while (true) {
        const std::size_t got = std::fread(block.data() + kept, 1, block.size() - kept, file.get());
        if (got == 0 && std::ferror(file.get())) {
            const int error = errno;
            m_translations.clear();
            return Status::FromErrno(Status::Kind::CannotRead, PathFromNative(path), error);
        }
        const bool last = got == 0;
        const char* p = block.data();
        const char* const end = p + kept + got;
        while (p < end) {
            const char* lineEnd = static_cast<const char*>(std::memchr(p, '\n', end - p));
            if (lineEnd == nullptr) {
                if (!last) {
                    break; // finished with the next block
                }
                lineEnd = end;
            }
            reader.Line(std::string_view(p, static_cast<std::size_t>(lineEnd - p)));
            p = lineEnd + 1;
        }
        if (last) {
            break;
        }
        kept = static_cast<std::size_t>(end - p);
        std::memmove(block.data(), p, kept);
        if (kept == block.size()) {
            block.resize(block.size() * 2); // a line longer than the block
        }
    }
    for (auto& [form, list] : m_translations) {
        std::sort(list.begin(), list.end());
        list.erase(std::unique(list.begin(), list.end()), list.end());
    }
    return Status::Success();
}

const std::vector<TokenId>* BilingualDictionary::Translations(const std::string& form) const {
    const auto found = m_translations.find(form);
    return found == m_translations.end() ? nullptr : &found->second;
}

} // namespace bitexa
