#include "lexical/JapaneseWords.h"

#include "lexical/Characters.h"
#include "text/Utf16.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

#ifdef BITEXA_HAVE_MECAB
#include <mecab.h>
#endif

namespace bitexa {

namespace {

// Base forms that are grammar more than content; sorted (as UTF-8 bytes) for a binary search.
constexpr std::string_view StopWords[] = {
    "ある", "あれ",   "いう", "いる",   "おる", "くださる", "くる", "ここ",
    "こと", "これ",   "さ",   "させる", "する", "せる",     "そこ", "それ",
    "ため", "できる", "とき", "ところ", "どれ", "ない",     "など", "なる",
    "の",   "もの",   "よう", "られる", "れる", "ん",       "等",
};
static_assert(std::is_sorted(std::begin(StopWords), std::end(StopWords)));

bool IsStopWord(std::string_view word) {
    return std::binary_search(std::begin(StopWords), std::end(StopWords), word);
}

// Without the analyser: runs of kanji and runs of katakana. A single katakana is a particle or a
// symbol more often than a word.
void AddScriptRuns(std::wstring_view text, TokenTable& table, std::vector<TokenId>& out) {
    std::size_t k = 0;
    while (k < text.size()) {
        const char32_t c = static_cast<char32_t>(text[k]);
        const bool kanji = IsKanji(c);
        if (!kanji && !IsKatakana(c)) {
            ++k;
            continue;
        }
        std::size_t end = k;
        while (end < text.size() && (kanji ? IsKanji(static_cast<char32_t>(text[end]))
                                           : IsKatakana(static_cast<char32_t>(text[end])))) {
            ++end;
        }
        if (kanji || end - k >= 2) {
            out.push_back(table.Intern(TokenKind::JapaneseWord, ToUtf8(text.substr(k, end - k))));
        }
        k = end;
    }
}

#ifdef BITEXA_HAVE_MECAB

// The first fields of a MeCab feature string (comma-separated), read in one pass: the part of
// speech at 0, its subdivision at 1, the base form at 6. Fields the string lacks are empty.
std::array<std::string_view, 7> Fields(const char* feature) {
    std::array<std::string_view, 7> fields;
    const char* p = feature;
    for (std::string_view& field : fields) {
        const char* end = p;
        while (*end != '\0' && *end != ',') {
            ++end;
        }
        field = std::string_view(p, static_cast<std::size_t>(end - p));
        if (*end == '\0') {
            break;
        }
        p = end + 1;
    }
    return fields;
}

// Part of speech (IPA dictionary tags): nouns but the dependent, pronoun, numeral, suffix,
// special and adverbial ones; independent verbs and adjectives; adverbs.
bool IsContentWord(std::string_view pos, std::string_view sub) {
    if (pos == "名詞") {
        return sub != "非自立" && sub != "代名詞" && sub != "数" && sub != "接尾" &&
               sub != "特殊" && sub != "副詞可能";
    }
    if (pos == "動詞" || pos == "形容詞") {
        return sub == "自立";
    }
    return pos == "副詞";
}

// Only morphemes written in kana or kanji: Latin letters and digits are the verbatim scanner's,
// and the analyser calls stray symbols (., %, {, --) nouns.
bool IsJapaneseMorpheme(std::string_view surface) {
    bool japanese = false;
    for (wchar_t c : FromUtf8(surface)) {
        const char32_t folded = FoldWidth(static_cast<char32_t>(c));
        if (folded < 0x80) {
            return false;
        }
        japanese = japanese || IsJapaneseScript(folded);
    }
    return japanese;
}

bool IsUtf8(const char* charset) {
    if (charset == nullptr) {
        return false;
    }
    std::string name(charset);
    std::transform(name.begin(), name.end(), name.begin(), [](char c) {
        return static_cast<char>(AsciiLower(static_cast<unsigned char>(c)));
    });
    return name == "utf-8" || name == "utf8";
}

mecab_model_t* OpenModel(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        // An argument string, as on MeCab's command line; a folder with a space cannot be named.
        const std::string arguments = folder.empty() ? std::string() : "-d " + folder;
        mecab_model_t* model = mecab_model_new2(arguments.c_str());
        if (model == nullptr) {
            continue;
        }
        const mecab_dictionary_info_t* info = mecab_model_dictionary_info(model);
        if (info != nullptr && IsUtf8(info->charset)) {
            return model;
        }
        mecab_model_destroy(model);
    }
    return nullptr;
}

#endif

} // namespace

bool HasJapaneseScript(std::wstring_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](wchar_t c) { return IsJapaneseScript(static_cast<char32_t>(c)); });
}

JapaneseAnalyser::JapaneseAnalyser(std::vector<std::string> dictionaryFolders)
    : m_folders(std::move(dictionaryFolders)) {}

JapaneseAnalyser::~JapaneseAnalyser() {
#ifdef BITEXA_HAVE_MECAB
    if (m_model != nullptr) {
        mecab_model_destroy(m_model);
    }
#endif
}

mecab_model_t* JapaneseAnalyser::Model() const {
#ifdef BITEXA_HAVE_MECAB
    std::call_once(m_loaded, [this] { m_model = OpenModel(m_folders); });
#endif
    return m_model;
}

JapaneseWords::JapaneseWords(const std::vector<std::string>& dictionaryFolders)
    : m_own(std::make_unique<JapaneseAnalyser>(dictionaryFolders)) {
    OpenTagger(*m_own);
}

JapaneseWords::JapaneseWords(const JapaneseAnalyser& analyser) {
    OpenTagger(analyser);
}

void JapaneseWords::OpenTagger(const JapaneseAnalyser& analyser) {
#ifdef BITEXA_HAVE_MECAB
    if (mecab_model_t* model = analyser.Model()) {
        m_tagger = mecab_model_new_tagger(model);
    }
#else
    (void)analyser;
#endif
}

JapaneseWords::~JapaneseWords() {
#ifdef BITEXA_HAVE_MECAB
    if (m_tagger != nullptr) {
        mecab_destroy(m_tagger);
    }
#endif
}

void JapaneseWords::Add(std::wstring_view text, TokenTable& table, std::vector<TokenId>& out) {
    if (!HasJapaneseScript(text)) {
        return;
    }
    if (m_tagger == nullptr) {
        AddScriptRuns(text, table, out);
        return;
    }
    AddMorphemes(text, table, out);
}

void JapaneseWords::AddMorphemes(std::wstring_view text, TokenTable& table,
                                 std::vector<TokenId>& out) {
#ifdef BITEXA_HAVE_MECAB
    const std::string bytes = ToUtf8(text);
    for (const mecab_node_t* node = mecab_sparse_tonode2(m_tagger, bytes.data(), bytes.size());
         node != nullptr; node = node->next) {
        if (node->stat != MECAB_NOR_NODE && node->stat != MECAB_UNK_NODE) {
            continue;
        }
        const std::string_view surface(node->surface, node->length);
        if (!IsJapaneseMorpheme(surface)) {
            continue;
        }
        const std::array<std::string_view, 7> fields = Fields(node->feature);
        if (!IsContentWord(fields[0], fields[1])) {
            continue;
        }
        // Field 7 is the base form; "*" where the dictionary has none (unknown words).
        std::string_view base = fields[6];
        if (base.empty() || base == "*") {
            base = surface;
        }
        if (!IsStopWord(base)) {
            out.push_back(table.Intern(TokenKind::JapaneseWord, base));
        }
    }
#else
    AddScriptRuns(text, table, out);
#endif
}

} // namespace bitexa
