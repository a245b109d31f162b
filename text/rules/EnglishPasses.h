#pragma once

#include <string>

namespace bitexa {

// The line passes of the English rules, besides the shared line-break passes and the sentence
// ends. Each rewrites the whole text in one scan from left to right, so its time grows with the
// length of the text alone.

// Tabs, spaces and ideographic spaces behind every line feed are deleted (the first line keeps
// its indentation).
void DropIndentationAfterLineFeeds(std::wstring& text);

// A line feed between a lower-case ASCII letter, space or comma and an ASCII letter, space or
// double quote becomes a space. Each join takes the characters on both sides of its line feed,
// so of two joins in a row that would share a character only the first is made.
void JoinBrokenLines(std::wstring& text);

// A line that starts with digits, periods or spaces (a numbered heading or item) gets an extra
// line feed behind it. The heading reaches from its line feed to the first line feed behind at
// least one more character: a line of digits and periods alone thus reaches to the end of the
// next line. A heading consumes the line feed that ends it, so of two headings in a row only the
// first gets the empty line.
void SetNumberedLinesApart(std::wstring& text);

// A page-number line such as "- 12 -" or "―3―" goes together with the one line break in front
// of it and the two behind it.
void RemovePageNumberLines(std::wstring& text);

} // namespace bitexa
