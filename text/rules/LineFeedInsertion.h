#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace bitexa {

// Puts a line feed in front of each listed position of the text (positions in the text as it is
// now, in ascending order; a position listed twice gets two line feeds; the size of the text is a
// valid position). The passes that lengthen a text only ever add line feeds: each finds its places
// first, on the text unchanged, and then this inserts them all at once.
//
// The text is moved within its own storage when that has room, since fresh memory for a copy of
// a long text costs more than the whole pass; otherwise it moves once into storage with room to
// spare for the passes after it.
void InsertLineFeeds(std::wstring& text, const std::vector<std::size_t>& positions);

} // namespace bitexa
