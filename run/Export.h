#pragma once

#include "align/SentenceAligner.h"
#include "run/FileWriter.h"
#include "run/RunCommand.h"
#include "text/SplitMode.h"
#include "text/Status.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace bitexa {

// The files the rows of a run can be saved as.
enum class ExportFormat {
    Utf16, // the result file: FF FE, then the result text as UTF-16LE, byte for byte as it is
    Tsv,   // UTF-8 without a byte-order mark, one "source<TAB>target" line per row, LF
    Tmx,   // a TMX 1.4b translation memory, one translation unit per two-sided row
};

// "utf16", "tsv" or "tmx" (as the command line spells them); nothing for anything else.
std::optional<ExportFormat> ExportFormatNamed(std::string_view name);

// The extension a file of the format usually has, with its dot: ".txt", ".tsv", ".tmx".
const char* ExportExtension(ExportFormat format);

// The format a file name asks for by its extension (letter case ignored): ".tsv" and ".tmx" their
// formats, anything else the result file.
ExportFormat ExportFormatOfPath(const std::wstring& path);

// What an export needs to know besides the rows.
struct ExportOptions {
    ExportFormat format = ExportFormat::Utf16;
    // The xml:lang of each side in a TMX file: language tags (see IsLanguageTag); an empty one
    // is the side's default (DefaultLanguage), which a lines-only side does not have.
    std::string sourceLanguage;
    std::string targetLanguage;
};

// What an export left out, for the user to be told.
struct ExportCounts {
    std::size_t rowsWritten = 0;
    // TMX: rows with text on one side only (a translation unit needs both); rows empty on both
    // sides, such as the first, hold nothing and are not counted.
    std::size_t oneSidedRowsLeftOut = 0;
    // TMX: characters that XML 1.0 cannot carry (control characters other than tab, line feed
    // and carriage return, U+FFFE, U+FFFF, lone surrogates), dropped from the cells.
    std::size_t charactersDropped = 0;
};

// The rows as the exports read them: the two column lists, where the joiner stands in each
// row's cells (null, or a list of another length, when not known: each cell is then taken as
// one segment), and each side's split mode. The cells' text is that of ExportCellText.
struct ExportRows {
    const ColumnList& sourceColumn;
    const ColumnList& targetColumn;
    const RowInfoList* rowInfo = nullptr;
    SplitMode sourceMode = SplitMode::Lines;
    SplitMode targetMode = SplitMode::Lines;
};
ExportRows RowsOf(const RunState& state);

// One function per format, each writing the whole file into the sink; false when the sink
// failed. The counts are reset first. The languages are language tags (see IsLanguageTag).
bool WriteTsv(ByteSink& sink, const ExportRows& rows, ExportCounts& counts);
bool WriteTmx(ByteSink& sink, const ExportRows& rows, const std::string& sourceLanguage,
              const std::string& targetLanguage, ExportCounts& counts);

// The xml:lang of a side: the tag the user gave, else the side's default (empty for a
// lines-only side without a given tag).
std::string LanguageFor(const std::string& given, SplitMode mode);

// Saves the rows of the last run in the chosen format through WriteFile, so a failure leaves
// the old file as it was. UTF-16 writes the result text exactly as WriteResultFile does. A TMX
// export without a language for a side, or with a tag that is not a language tag, writes nothing
// and fails with CannotWrite and the reason (the front end asks for the languages beforehand).
Status ExportRun(const std::wstring& path, const RunState& state, const ExportOptions& options,
                 ExportCounts& counts);

// The same bytes into a sink (standard output); false when the sink failed or, for TMX, a
// language is missing or not a language tag.
bool WriteRun(ByteSink& sink, const RunState& state, const ExportOptions& options,
              ExportCounts& counts);

// What an export left out, in a sentence for the user; empty when it left out nothing.
std::string LeftOutNotice(const ExportCounts& counts);

// The same for rows that are not a run's own (the window's corrected rows): UTF-16 writes each
// row's cells as they stand, as the result file has them (the bytes of WriteResultRows); TSV and
// TMX take each cell as ExportCellText does with no joins known, so a cell should already be
// ExportSegmentsText of its segments.
Status ExportRowsTo(const std::wstring& path, const ExportRows& rows, const ExportOptions& options,
                    ExportCounts& counts);
bool WriteRows(ByteSink& sink, const ExportRows& rows, const ExportOptions& options,
               ExportCounts& counts);

} // namespace bitexa
