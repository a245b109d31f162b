#pragma once

#include <string>

namespace bitexa {

// Puts a line feed behind every run of sentence punctuation (". ． ! ?", with the spaces behind
// it) that ends a sentence. A run counts when a character stands before it and one after it; it
// ends no sentence when the character after is a double quote, when a number at a line start
// precedes it and a capital follows, when digits, capitals or small letters stand on both sides,
// or when the word before it is a known abbreviation. The character after a run may be the
// character before the next one. One scan from left to right.
void MarkEnglishSentenceEnds(std::wstring& text);

} // namespace bitexa
