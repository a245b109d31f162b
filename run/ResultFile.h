#pragma once

#include "align/SentenceAligner.h"
#include "run/FileWriter.h"
#include "text/Status.h"

#include <string>

namespace bitexa {

// Writes FF FE and then every UTF-16 code unit of the text, low byte first, nothing else,
// through the program's file writer (see WriteFile: a failed write leaves the old file as it
// was).
Status WriteResultFile(const std::wstring& path, const std::wstring& text);

// The same bytes for another way of writing (WriteToDescriptor); the text must outlive the
// content.
FileContent ResultFileContent(const std::wstring& text);

// The same bytes into a sink (standard output); false when the sink failed.
bool WriteResultBytes(ByteSink& sink, const std::wstring& text);

// The result file of rows: for each row the source cell, a tab, the target cell and a line
// feed, written as WriteResultFile writes its text. Rows that lack a cell in one column (the
// columns differ in length) have it empty. An unchanged run's rows give its result text's bytes.
Status WriteResultRows(const std::wstring& path, const ColumnList& sourceColumn,
                       const ColumnList& targetColumn);

// What the user is told when a save fails: the path and the reason.
std::wstring SaveFailedMessage(const std::wstring& path, const std::wstring& reason);

} // namespace bitexa
