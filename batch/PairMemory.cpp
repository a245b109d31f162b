#include "batch/PairMemory.h"

#include "align/AnchorKeys.h"
#include "align/AnchoredAligner.h"

#include <algorithm>

namespace bitexa {

namespace {

// Four tables of 16-bit entries, each at most 8 MB however large the stretch (see the
// aligner's bead tables).
constexpr std::uint64_t MostTableBytes = std::uint64_t{32} << 20;
// The text is held about six times over while a run is on; each segment is a string object.
constexpr std::uint64_t TextCopies = 6;
constexpr std::uint64_t StringObjectBytes = sizeof(std::wstring);
// The program, its libraries and a thread's stack, whatever the pair.
constexpr std::uint64_t BaseBytes = std::uint64_t{4} << 20;
// The lexical model: MeCab's IPA dictionary while the text is analysed, and the tokens, the
// token table and the evidence, which grow with the text (a run on 20,000 real lines takes 27
// MB more than by length, one on 20,000 lines of random words 85 MB more).
constexpr std::uint64_t AnalyserBytes = std::uint64_t{48} << 20;
constexpr std::uint64_t LexicalTextCopies = 4;

std::uint64_t TextBytes(const SentenceList& list) {
    std::uint64_t bytes = 0;
    for (const std::wstring& segment : list) {
        bytes += StringObjectBytes + segment.size() * sizeof(wchar_t);
    }
    return bytes;
}

} // namespace

std::uint64_t EstimatePairMemory(const SentenceList& source, const SentenceList& target,
                                 AlignModel model) {
    // The stretches as the run will cut them: the same keys and the same matching.
    CAnchoredAligner anchors({}, {}, L"", L"", 1.0);
    anchors.MatchAnchors(MakeAnchorKeys(source, L"s"), MakeAnchorKeys(target, L"t"));
    std::uint64_t largestCells = 0;
    for (std::size_t k = 0, s = 0, t = 0; k < anchors.sourceAnchors.size(); ++k) {
        largestCells = std::max(largestCells, std::uint64_t{anchors.sourceAnchors[k] - s} *
                                                  std::uint64_t{anchors.targetAnchors[k] - t});
        s = anchors.sourceAnchors[k];
        t = anchors.targetAnchors[k];
    }
    const std::uint64_t pathBytes = largestCells / 3 + 1;
    const std::uint64_t tableBytes = std::min(MostTableBytes, largestCells * 8);
    const std::uint64_t text = TextBytes(source) + TextBytes(target);
    const std::uint64_t lexical =
        model == AlignModel::Lexical ? AnalyserBytes + LexicalTextCopies * text : 0;
    return BaseBytes + pathBytes + tableBytes + TextCopies * text + lexical;
}

} // namespace bitexa
