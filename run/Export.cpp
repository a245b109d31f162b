#include "run/Export.h"

#include <algorithm>

#include "run/LanguageTag.h"
#include "run/ResultFile.h"
#include "text/Utf16.h"

namespace bitexa {

std::optional<ExportFormat> ExportFormatNamed(std::string_view name) {
    if (name == "utf16") {
        return ExportFormat::Utf16;
    }
    if (name == "tsv") {
        return ExportFormat::Tsv;
    }
    if (name == "tmx") {
        return ExportFormat::Tmx;
    }
    return std::nullopt;
}

const char* ExportExtension(ExportFormat format) {
    switch (format) {
    case ExportFormat::Tsv:
        return ".tsv";
    case ExportFormat::Tmx:
        return ".tmx";
    case ExportFormat::Utf16:
        break;
    }
    return ".txt";
}

ExportFormat ExportFormatOfPath(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'/');
    const std::size_t dot = path.rfind(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) {
        return ExportFormat::Utf16;
    }
    std::wstring extension = path.substr(dot);
    for (wchar_t& c : extension) {
        c = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    }
    if (extension == L".tsv") {
        return ExportFormat::Tsv;
    }
    return extension == L".tmx" ? ExportFormat::Tmx : ExportFormat::Utf16;
}

ExportRows RowsOf(const RunState& state) {
    return {state.sourceColumn, state.targetColumn, &state.rowInfo, state.sourceMode,
            state.targetMode};
}

std::string LanguageFor(const std::string& given, SplitMode mode) {
    return given.empty() ? DefaultLanguage(mode) : given;
}

namespace {

// Why a TMX export cannot name a side's language; empty when it can.
std::string LanguageProblem(const std::string& language, const char* side) {
    if (language.empty()) {
        return std::string("no language for the ") + side + " side (it is cut into lines only)";
    }
    if (!IsLanguageTag(language)) {
        return "'" + language + "' is not a language tag";
    }
    return {};
}

// A TMX export that cannot name a side's language writes nothing: the reason, else empty.
std::string TmxProblem(const ExportRows& rows, const ExportOptions& options) {
    if (options.format != ExportFormat::Tmx) {
        return {};
    }
    const std::string source =
        LanguageProblem(LanguageFor(options.sourceLanguage, rows.sourceMode), "source");
    return !source.empty()
               ? source
               : LanguageProblem(LanguageFor(options.targetLanguage, rows.targetMode), "target");
}

// Rows as lines of the result file: each row's cells as they stand.
bool WriteResultRowBytes(ByteSink& sink, const ExportRows& rows, ExportCounts& counts) {
    std::wstring text;
    AppendRowText(text, rows.sourceColumn, rows.targetColumn);
    counts.rowsWritten = rows.sourceColumn.size();
    return WriteResultBytes(sink, text);
}

} // namespace

Status ExportRun(const std::wstring& path, const RunState& state, const ExportOptions& options,
                 ExportCounts& counts) {
    counts = {};
    if (const std::string problem = TmxProblem(RowsOf(state), options); !problem.empty()) {
        return Status::WithReason(Status::Kind::CannotWrite, path, FromUtf8(problem));
    }
    return WriteFile(path, [&](ByteSink& sink) { return WriteRun(sink, state, options, counts); });
}

bool WriteRun(ByteSink& sink, const RunState& state, const ExportOptions& options,
              ExportCounts& counts) {
    counts = {};
    if (options.format == ExportFormat::Utf16) {
        // One line a row; the columns may have been let go by now.
        const std::wstring& text = state.resultText;
        for (std::size_t at = text.find(L'\n'); at != std::wstring::npos;
             at = text.find(L'\n', at + 1)) {
            ++counts.rowsWritten;
        }
        return WriteResultBytes(sink, state.resultText);
    }
    return WriteRows(sink, RowsOf(state), options, counts);
}

Status ExportRowsTo(const std::wstring& path, const ExportRows& rows, const ExportOptions& options,
                    ExportCounts& counts) {
    counts = {};
    if (const std::string problem = TmxProblem(rows, options); !problem.empty()) {
        return Status::WithReason(Status::Kind::CannotWrite, path, FromUtf8(problem));
    }
    return WriteFile(path, [&](ByteSink& sink) { return WriteRows(sink, rows, options, counts); });
}

bool WriteRows(ByteSink& sink, const ExportRows& rows, const ExportOptions& options,
               ExportCounts& counts) {
    counts = {};
    if (!TmxProblem(rows, options).empty()) {
        return false;
    }
    switch (options.format) {
    case ExportFormat::Tsv:
        return WriteTsv(sink, rows, counts);
    case ExportFormat::Tmx:
        return WriteTmx(sink, rows, LanguageFor(options.sourceLanguage, rows.sourceMode),
                        LanguageFor(options.targetLanguage, rows.targetMode), counts);
    case ExportFormat::Utf16:
        break;
    }
    return WriteResultRowBytes(sink, rows, counts);
}

std::string LeftOutNotice(const ExportCounts& counts) {
    const auto count = [](std::size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    std::string notice;
    if (counts.oneSidedRowsLeftOut > 0) {
        notice += count(counts.oneSidedRowsLeftOut, "row", "rows") +
                  " with text on one side only left out of the translation memory";
    }
    if (counts.charactersDropped > 0) {
        notice += (notice.empty() ? "" : "; ") +
                  count(counts.charactersDropped, "character", "characters") +
                  " that XML does not allow dropped";
    }
    return notice;
}

} // namespace bitexa
