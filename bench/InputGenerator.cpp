#include "InputGenerator.h"

#include "text/Utf16.h"

#include <algorithm>
#include <cmath>

namespace bitexa::bench {
namespace {

// Lengths in characters of English sentences or paragraphs: log-normal around `mean` (110 for
// sentences), rarely above four times that.
std::size_t SourceLength(std::mt19937& random, double mean = 110) {
    std::lognormal_distribution<double> length(std::log(mean), 0.55);
    return std::clamp<std::size_t>(static_cast<std::size_t>(length(random)), 3,
                                   static_cast<std::size_t>(11 * mean));
}

std::wstring RandomWord(std::mt19937& random, const std::wstring& alphabet, std::size_t length) {
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::wstring word;
    for (std::size_t i = 0; i < length; ++i) {
        word += alphabet[pick(random)];
    }
    return word;
}

std::wstring Filler(std::mt19937& random, const std::wstring& alphabet, std::size_t length,
                    wchar_t space) {
    std::wstring text;
    std::uniform_int_distribution<std::size_t> wordLength(2, 9);
    while (text.size() < length) {
        if (!text.empty() && space) {
            text += space;
        }
        text += RandomWord(random, alphabet, wordLength(random));
    }
    text.resize(length);
    return text;
}

const std::wstring Latin = L"abcdefghijklmnopqrstuvwxyzeeeaaoottt";
const std::wstring Kana = L"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめも"
                          L"やゆよらりるれろわをん日本語文章";

} // namespace

ParallelSegments GenerateSegments(const CorpusShape& shape) {
    std::mt19937 random(shape.start);
    std::normal_distribution<double> noise(1.0, shape.noise);
    std::uniform_real_distribution<double> chance(0.0, 1.0);
    ParallelSegments out;
    out.source.emplace_back();
    out.target.emplace_back();
    std::size_t label = 0;
    for (std::size_t k = 0; k < shape.sentences; ++k) {
        if (shape.labelEvery && k % shape.labelEvery == 0) {
            if (++label > shape.labelsRestartAfter && shape.labelsRestartAfter != 0) {
                label = 1;
            }
            const std::wstring text = L"(" + std::to_wstring(label) + L")";
            out.source.push_back(text);
            out.target.push_back(text);
        }
        const std::size_t sourceLength = SourceLength(random, shape.meanLength);
        const double scaled = shape.ratio * static_cast<double>(sourceLength) * noise(random);
        const std::size_t targetLength =
            std::max<std::size_t>(1, std::lround(std::max(scaled, 1.0)));
        const double drop = chance(random);
        if (drop >= shape.dropRate / 2) {
            out.source.push_back(Filler(random, Latin, sourceLength, L' '));
        }
        if (drop < shape.dropRate / 2 || drop >= shape.dropRate) {
            out.target.push_back(Filler(random, Kana, targetLength, 0));
        }
    }
    return out;
}

ParallelFiles GenerateFiles(const CorpusShape& shape) {
    const ParallelSegments segments = GenerateSegments(shape);
    const auto join = [](const SentenceList& list) {
        std::wstring text;
        for (std::size_t i = 1; i < list.size(); ++i) {
            text += list[i];
            text += L'\n';
        }
        return ToUtf8(text);
    };
    return {join(segments.source), join(segments.target)};
}

std::wstring GenerateEnglishProse(std::size_t characters, std::uint32_t start) {
    std::mt19937 random(start);
    std::uniform_int_distribution<int> kind(0, 19);
    std::uniform_int_distribution<int> number(1, 2000);
    static const std::wstring openers[] = {L"The", L"In", L"Mr.", L"It", L"Dr.", L"We", L"Fig."};
    std::wstring text;
    std::size_t column = 0;
    int section = 0;
    while (text.size() < characters) {
        const int k = kind(random);
        std::wstring sentence;
        if (k == 0) {
            sentence = L"\n" + std::to_wstring(++section) + L"." +
                       std::to_wstring(number(random) % 9) + L" RESULTS\n";
            column = 0;
        } else if (k == 1) {
            sentence = L"\n- " + std::to_wstring(number(random)) + L" -\n\n";
            column = 0;
        } else {
            sentence = openers[static_cast<std::size_t>(k) % 7] + L" " +
                       Filler(random, Latin, SourceLength(random), L' ');
            if (k == 2) {
                sentence += L" in " + std::to_wstring(number(random)) + L".5";
            }
            sentence += (k == 3) ? L"?" : (k == 4 ? L"!\" " : L". ");
        }
        // Lines wrapped at about 72 characters, as in plain-text exports.
        for (wchar_t c : sentence) {
            text += c;
            column = (c == L'\n') ? 0 : column + 1;
            if (column > 72 && c == L' ') {
                text += L'\n';
                column = 0;
            }
        }
        if (k == 5) {
            text += L"\n\n";
            column = 0;
        }
    }
    // Exactly the length asked for, so that two sizes compare as their ratio.
    text.resize(characters);
    return text;
}

std::wstring GenerateJapaneseProse(std::size_t characters, std::uint32_t start) {
    std::mt19937 random(start);
    std::uniform_int_distribution<int> kind(0, 11);
    std::wstring text;
    while (text.size() < characters) {
        const int k = kind(random);
        std::wstring sentence = Filler(random, Kana, SourceLength(random) / 2, 0);
        switch (k) {
        case 0:
            sentence = L"\r\n\u3000" + sentence + L"。";
            break;
        case 1:
            sentence = L"「" + sentence + L"！」";
            break;
        case 2:
            sentence = L"\r\n（" + std::to_wstring(k) + L"）" + sentence + L"？";
            break;
        case 3:
            sentence += L"（注）。\r\n";
            break;
        default:
            sentence += L"。";
            break;
        }
        text += sentence;
    }
    text.resize(characters);
    return text;
}

} // namespace bitexa::bench
