#include "text/rules/JapaneseRules.h"

#include "text/rules/JapanesePasses.h"
#include "text/rules/LineBreakPasses.h"

namespace bitexa {

// The passes run in this order, each on the result of the one before. Each is one scan over the
// text, so a book-length text, or one with many bracketed line starts that never close, takes
// time in proportion to its length.
void SplitJapanese(std::wstring& text) {
    BreakAfterSentenceMarks(text);
    SetBracketedItemsApart(text);
    // Indentation ends a line of its own, which then loses its spaces and is left empty: a
    // paragraph break.
    BreakAfterIndentation(text);
    DropIndentation(text);
    UnifyLineEnds(text);
    LimitEmptyLines(text);
}

} // namespace bitexa
