#include "BenchCase.h"
#include "InputGenerator.h"
#include "align/AnchorKeys.h"
#include "align/AnchoredAligner.h"
#include "reference/ReferenceAligner.h"
#include "reference/ReferenceAnchors.h"

#include <string>
#include <utility>

namespace bitexa::bench {
namespace {

// One stretch as the anchored run hands it over: a placeholder, then the whole list, whose own
// leading entry comes first.
SentenceList Stretch(const SentenceList& list) {
    SentenceList stretch{std::wstring()};
    stretch.insert(stretch.end(), list.begin(), list.end());
    return stretch;
}

// English source against a Japanese target about half as long, no labels: one stretch, on
// `threads` threads (0: one per core), of sentences or of paragraphs `meanLength` long.
template <typename Aligner>
void AlignCase(Stopwatch& watch, std::size_t sentences, unsigned threads = 0,
               double meanLength = CorpusShape().meanLength) {
    CorpusShape shape;
    shape.sentences = sentences;
    shape.meanLength = meanLength;
    const ParallelSegments texts = GenerateSegments(shape);
    Aligner aligner(Stretch(texts.source), Stretch(texts.target), L" ", L"", shape.ratio);
    AlignControl control;
    control.threads = threads;
    aligner.SetControl(&control);
    watch.Start();
    aligner.Align();
    watch.Stop();
    const BeadKind last =
        aligner.PathCode(aligner.SourceSegments().size() - 1, aligner.TargetSegments().size() - 1);
    Consume(&last);
}

struct KeyLists {
    std::vector<std::wstring> source;
    std::vector<std::wstring> target;
};

// Keys of two texts with a shared label before every `labelEvery`-th sentence, numbered afresh
// after `restartAfter` labels if that is not 0.
KeyLists Keys(std::size_t sentences, std::size_t labelEvery, std::size_t restartAfter = 0) {
    CorpusShape shape;
    shape.sentences = sentences;
    shape.labelEvery = labelEvery;
    shape.labelsRestartAfter = restartAfter;
    const ParallelSegments texts = GenerateSegments(shape);
    return {MakeAnchorKeys(texts.source, L"s"), MakeAnchorKeys(texts.target, L"t")};
}

} // namespace

void AddAlignCases() {
    for (const std::size_t n : {1000, 5000, 20000}) {
        AddCase("align-" + std::to_string(n),
                "Align, one stretch of " + std::to_string(n) + " x " + std::to_string(n) +
                    " sentences (English against Japanese, no labels)",
                [n](Stopwatch& watch) { AlignCase<CSentenceAligner>(watch, n); });
    }
    // Lengths of thousands, many of them distinct: the bead costs of the stretch have millions
    // of length pairs. The programme alone, without reading or writing the 114 MB of text.
    AddCase("align-20000-paragraphs",
            "Align, one stretch of 20000 x 20000 paragraphs of ~2,000 characters",
            [](Stopwatch& watch) { AlignCase<CSentenceAligner>(watch, 20000, 0, 2000); });
    for (const unsigned threads : {1u, 2u}) {
        // A book without labels: 10^10 cells, which no table of paths could hold.
        AddCase(
            "align-100000-threads-" + std::to_string(threads),
            "Align, one stretch of 100000 x 100000 sentences on " + std::to_string(threads) +
                " thread(s)",
            [threads](Stopwatch& watch) { AlignCase<CSentenceAligner>(watch, 100000, threads); });
    }
    for (const std::size_t n : {1000, 5000}) {
        // 20,000 x 20,000 would need two full tables of 3.6 GB: 16 times the 5,000 case.
        AddCase("align-ref-" + std::to_string(n),
                "the same on the plain aligner (full tables, every match cost computed)",
                [n](Stopwatch& watch) { AlignCase<ReferenceAligner>(watch, n); });
    }
    AddCase("anchors-100000",
            "MatchAnchors, 100,000 x 100,000 keys with a shared label every 300 sentences",
            [](Stopwatch& watch) {
                const KeyLists keys = Keys(100000, 300);
                CAnchoredAligner aligner({}, {}, L"", L"", 1.0);
                watch.Start();
                aligner.MatchAnchors(keys.source, keys.target);
                watch.Stop();
                Consume(aligner.sourceAnchors.data());
            });
    AddCase("anchors-restarting-100000",
            "MatchAnchors, 100,000 labels a side in sections that number them (1) to (5) afresh",
            [](Stopwatch& watch) {
                // A label before every other sentence: 300,000 keys a side, 100,000 of them
                // labels, each label shared with 20,000 on the other side.
                const KeyLists keys = Keys(200000, 2, 5);
                CAnchoredAligner aligner({}, {}, L"", L"", 1.0);
                watch.Start();
                aligner.MatchAnchors(keys.source, keys.target);
                watch.Stop();
                Consume(aligner.sourceAnchors.data());
            });
    AddCase("anchors-ref-10000",
            "the plain anchor matcher (two full tables), 10,000 x 10,000 keys, a label every 30",
            [](Stopwatch& watch) {
                const KeyLists keys = Keys(10000, 30);
                std::vector<std::size_t> sourceAnchors;
                std::vector<std::size_t> targetAnchors;
                watch.Start();
                ReferenceMatchAnchors(keys.source, keys.target, sourceAnchors, targetAnchors);
                watch.Stop();
                Consume(sourceAnchors.data());
            });
}

} // namespace bitexa::bench
