// The sentence rules on long texts: ordinary prose of 10 and 20 million characters, and texts made
// to be slow for a backtracking search, each at two sizes so that the growth can be read off. The
// ref- cases run the rules as literal regular expressions for comparison.

#include "BenchCase.h"
#include "InputGenerator.h"
#include "reference/ReferenceSegmentation.h"
#include "text/rules/EnglishRules.h"
#include "text/rules/JapaneseRules.h"

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

namespace bitexa::bench {
namespace {

using Rules = void (*)(std::wstring&);

void ReferenceJapanese(std::wstring& text) {
    text = ReferenceSplitJapanese(std::move(text));
}

void ReferenceEnglish(std::wstring& text) {
    text = ReferenceSplitEnglish(std::move(text));
}
using Maker = std::function<std::wstring()>;

constexpr std::size_t Million = 1000000;
constexpr std::uint32_t ProseStart = 7;

// Lines that open a bracket at their start and never close it: the bracket rule must not look for
// the closing bracket again from every one of them.
std::wstring UnclosedBracketLines(std::size_t lines) {
    const std::wstring line = L"\uFF08\u6CE8\u3000\u3053\u306E\u884C\u306F\u9589\u3058\u306A"
                              L"\u3044\u62EC\u5F27\u3067\u59CB\u307E\u308B\n";
    std::wstring text;
    text.reserve(line.size() * lines);
    for (std::size_t i = 0; i < lines; ++i) {
        text += line;
    }
    return text;
}

// A period between every two letters, and no line break: every period is a place to decide.
std::wstring PeriodsBetweenLetters(std::size_t characters) {
    std::wstring text;
    text.reserve(characters);
    while (text.size() < characters) {
        text += text.size() % 2 == 0 ? L'a' : L'.';
    }
    return text;
}

// One numbered line that never ends: the heading rule must not look for its line feed again
// from every length of the number.
std::wstring EndlessHeading(std::size_t characters) {
    std::wstring text = L"Intro\n";
    text.reserve(characters);
    while (text.size() < characters) {
        text += L"1. ";
    }
    text.resize(characters);
    return text;
}

void AddSplitCase(std::string name, std::string what, Maker make, Rules rules) {
    AddCase(std::move(name), std::move(what), [make = std::move(make), rules](Stopwatch& watch) {
        std::wstring text = make();
        // Exactly the storage it needs, as a text fresh from decoding has: the rules then pay
        // for any room they need to grow into.
        text.shrink_to_fit();
        watch.Start();
        try {
            rules(text);
        } catch (const std::runtime_error& error) {
            // Only the regular expressions give up; the time to that point is still reported.
            std::fprintf(stderr, "  (the regular-expression engine gave up: %s)\n", error.what());
        }
        watch.Stop();
        Consume(text.data());
    });
}

} // namespace

void AddSegmentCases() {
    for (const std::size_t millions : {10, 20}) {
        const std::string size = std::to_string(millions);
        const std::size_t characters = millions * Million;
        AddSplitCase(
            "split-japanese-" + size + "mb",
            "SplitJapanese on " + size + " M characters of Japanese prose",
            [characters] { return GenerateJapaneseProse(characters, ProseStart); }, SplitJapanese);
        AddSplitCase(
            "split-english-" + size + "mb",
            "SplitEnglish on " + size + " M characters of English prose",
            [characters] { return GenerateEnglishProse(characters, ProseStart); }, SplitEnglish);
    }
    for (const std::size_t thousands : {50, 100}) {
        const std::string size = std::to_string(thousands);
        AddSplitCase(
            "split-japanese-adversarial-" + size + "k",
            "SplitJapanese on " + size + ",000 lines that open a bracket and never close",
            [thousands] { return UnclosedBracketLines(thousands * 1000); }, SplitJapanese);
    }
    for (const std::size_t millions : {1, 2}) {
        const std::string size = std::to_string(millions);
        AddSplitCase(
            "split-english-adversarial-" + size + "mb",
            "SplitEnglish on " + size + " M characters of \"a.a.a.\"",
            [millions] { return PeriodsBetweenLetters(millions * Million); }, SplitEnglish);
        AddSplitCase(
            "split-english-endless-heading-" + size + "mb",
            "SplitEnglish on a numbered line of " + size +
                " M characters \"1. 1. \" with no line feed behind it",
            [millions] { return EndlessHeading(millions * Million); }, SplitEnglish);
    }

    AddSplitCase(
        "ref-split-japanese-10mb", "the regular-expression rules on split-japanese-10mb",
        [] { return GenerateJapaneseProse(10 * Million, ProseStart); }, ReferenceJapanese);
    AddSplitCase(
        "ref-split-english-10mb", "the regular-expression rules on split-english-10mb",
        [] { return GenerateEnglishProse(10 * Million, ProseStart); }, ReferenceEnglish);
    AddSplitCase(
        "ref-split-japanese-adversarial-50k",
        "the regular-expression rules on split-japanese-adversarial-50k",
        [] { return UnclosedBracketLines(50000); }, ReferenceJapanese);
    AddSplitCase(
        "ref-split-english-adversarial-1mb",
        "the regular-expression rules on split-english-adversarial-1mb",
        [] { return PeriodsBetweenLetters(Million); }, ReferenceEnglish);
}

} // namespace bitexa::bench
