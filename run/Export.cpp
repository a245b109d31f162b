#include "run/Export.h"

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

} // namespace

Status ExportRun(const std::wstring& path, const RunState& state, const ExportOptions& options,
                 ExportCounts& counts) {
    counts = {};
    if (options.format == ExportFormat::Tmx) {
        const std::string source = LanguageFor(options.sourceLanguage, state.sourceMode);
        const std::string target = LanguageFor(options.targetLanguage, state.targetMode);
        for (const std::string& problem :
             {LanguageProblem(source, "source"), LanguageProblem(target, "target")}) {
            if (!problem.empty()) {
                return Status::WithReason(Status::Kind::CannotWrite, path, FromUtf8(problem));
            }
        }
    }
    return WriteFile(path, [&](ByteSink& sink) { return WriteRun(sink, state, options, counts); });
}

bool WriteRun(ByteSink& sink, const RunState& state, const ExportOptions& options,
              ExportCounts& counts) {
    counts = {};
    switch (options.format) {
    case ExportFormat::Tsv:
        return WriteTsv(sink, RowsOf(state), counts);
    case ExportFormat::Tmx: {
        const std::string source = LanguageFor(options.sourceLanguage, state.sourceMode);
        const std::string target = LanguageFor(options.targetLanguage, state.targetMode);
        if (!LanguageProblem(source, "source").empty() ||
            !LanguageProblem(target, "target").empty()) {
            return false;
        }
        return WriteTmx(sink, RowsOf(state), source, target, counts);
    }
    case ExportFormat::Utf16:
        break;
    }
    counts.rowsWritten = state.sourceColumn.size();
    return WriteResultBytes(sink, state.resultText);
}

} // namespace bitexa
