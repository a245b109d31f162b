// bitexa-align: the whole run of the window program, from the command line, for scripts and batch
// work. Arguments in, rows out; every message that the window would show goes to standard error.

#include "cli/BatchCommand.h"
#include "cli/CommandLine.h"
#include "cli/OutputTarget.h"
#include "run/Export.h"
#include "run/LinkScore.h"
#include "run/ResultFile.h"
#include "run/RunCommand.h"
#include "text/FileReader.h"
#include "text/NativePath.h"
#include "text/TextLoader.h"
#include "text/Utf16.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <new>

#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace bitexa;

namespace {

enum ExitStatus { Done = 0, DoneWithMessages = 1, UsageOrInput = 2 };

void PrintError(const std::wstring& message) {
    std::fputs(ToUtf8(std::wstring(ErrorCaption) + L": " + message + L"\n").c_str(), stderr);
}

// The loader treats a missing or unreadable file as an empty side without a word, which suits
// the window; a script must not get a half-empty alignment in silence, so look first.
bool ReportIfUnreadable(const std::wstring& path) {
    const Status status = bitexa::CheckReadable(path);
    if (status.ok()) {
        return true;
    }
    std::fprintf(stderr, "bitexa-align: %s: %s\n", PathToNative(path).c_str(),
                 ToUtf8(status.reason).c_str());
    return false;
}

// A file that was there to read but could not be read whole (the loader has told the user).
bool IsReadFailure(const Status& status) {
    return status.kind == Status::Kind::CannotRead || status.kind == Status::Kind::CannotDecode;
}

// One line: "precision P recall R f1 F links C/P/G" (correct, proposed, in the gold).
std::string ScoreLine(const LinkScore& score) {
    char line[160];
    std::snprintf(line, sizeof line, "precision %.4f recall %.4f f1 %.4f links %llu/%llu/%llu\n",
                  score.Precision(), score.Recall(), score.F1(),
                  static_cast<unsigned long long>(score.correct),
                  static_cast<unsigned long long>(score.proposed),
                  static_cast<unsigned long long>(score.expected));
    return line;
}

bool WriteStandardOutput(const std::string& bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0) {
        PrintError(L"標準出力に書き込めませんでした。\n" + FromUtf8(std::strerror(errno)));
        return false;
    }
    return true;
}

std::size_t CountTabs(const ColumnList& cells) {
    std::size_t tabs = 0;
    for (const std::wstring& cell : cells) {
        // Tabs are rare: a search that skips many characters at a time finds them soonest.
        for (std::size_t at = cell.find(L'\t'); at != std::wstring::npos;
             at = cell.find(L'\t', at + 1)) {
            ++tabs;
        }
    }
    return tabs;
}

std::wstring TabsReplacedMessage(std::size_t tabs) {
    return L"セルの中のタブ " + std::to_wstring(tabs) + L" 個を空白にして書き出しました。";
}

class StandardOutput : public ByteSink {
public:
    bool Write(std::string_view bytes) override {
        return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
    }
};

// The rows in the format the command line asked for: to the -o file (or the program's own
// descriptor it names), or with --format to standard output. False after telling the user of a
// failure.
bool Export(const CommandLine& line, const RunState& state, int outputDescriptor) {
    ExportCounts counts;
    if (line.toFile) {
        const Status written =
            outputDescriptor >= 0
                ? WriteToDescriptor(outputDescriptor, line.outputPath,
                                    [&](ByteSink& sink) {
                                        return WriteRun(sink, state, line.exportOptions, counts);
                                    })
                : ExportRun(line.outputPath, state, line.exportOptions, counts);
        if (!written.ok()) {
            PrintError(SaveFailedMessage(line.outputPath, written.reason));
            return false;
        }
    } else {
        StandardOutput sink;
        if (!WriteRun(sink, state, line.exportOptions, counts) || std::fflush(stdout) != 0) {
            PrintError(L"標準出力に書き込めませんでした。\n" + FromUtf8(std::strerror(errno)));
            return false;
        }
    }
    if (const std::string notice = LeftOutNotice(counts); !notice.empty()) {
        std::fprintf(stderr, "bitexa-align: %s\n", notice.c_str());
    }
    return true;
}

int Run(const CommandLine& line) {
    bool reported = false;
    const Report report = [&reported](const std::wstring& text, const std::wstring&) {
        reported = true;
        PrintError(text);
    };

    if (line.action == CommandLine::Action::Segments) {
        if (!ReportIfUnreadable(line.segmentsPath)) {
            return UsageOrInput;
        }
        SentenceList segments;
        if (IsReadFailure(
                LoadSentenceList(line.segmentsPath, line.segmentsMode, segments, report))) {
            return UsageOrInput;
        }
        std::wstring text;
        for (std::size_t i = 1; i < segments.size(); ++i) {
            text += segments[i];
            text += L'\n';
        }
        if (!WriteStandardOutput(ToUtf8(text))) {
            return DoneWithMessages;
        }
        return reported ? DoneWithMessages : Done;
    }

    // An output that is one of the inputs would destroy it (a name refused as an input is still
    // the user's file): refused before anything is read or written.
    const int outputDescriptor =
        line.toFile ? DescriptorNamedBy(PathToNative(line.outputPath)) : -1;
    if (line.toFile) {
        const std::wstring input = InputThatIsOutput(
            line.outputPath, outputDescriptor, {line.inputs.sourcePath, line.inputs.targetPath});
        if (!input.empty()) {
            std::fprintf(stderr, "bitexa-align: %s: the output is the input file %s\n",
                         PathToNative(line.outputPath).c_str(), PathToNative(input).c_str());
            return UsageOrInput;
        }
    }

    // Both are checked, so that one call tells of both files.
    const bool sourceReadable = ReportIfUnreadable(line.inputs.sourcePath);
    const bool targetReadable = ReportIfUnreadable(line.inputs.targetPath);
    if (!sourceReadable || !targetReadable) {
        return UsageOrInput;
    }
    // The gold is read first: a run of minutes must not end in "cannot read the gold".
    GoldAlignment gold;
    if (!line.goldPath.empty()) {
        if (const Status read = ReadGoldAlignment(line.goldPath, gold); !read.ok()) {
            std::fprintf(stderr, "bitexa-align: %s: %s\n", PathToNative(line.goldPath).c_str(),
                         ToUtf8(read.reason).c_str());
            return UsageOrInput;
        }
    }
    RunState state;
    AlignControl control;
    control.threads = line.threads;
    const LoadOutcome loaded = RunAlignment(line.inputs, state, report, &control);
    // Notes tell what the lexical model went without; the run is done all the same.
    for (const std::wstring& note : state.notes) {
        std::fprintf(stderr, "bitexa-align: %s\n", ToUtf8(note).c_str());
    }
    // A file that failed part-way through (a failing disk) gives no rows: half a side aligned
    // against the other would be a wrong result that looks right.
    if (IsReadFailure(loaded.source) || IsReadFailure(loaded.target)) {
        return UsageOrInput;
    }
    const std::size_t tabs = CountTabs(state.sourceColumn) + CountTabs(state.targetColumn);
    // The segments, as large as the texts, go before the output is encoded; so do the columns
    // when only the result text is written.
    SentenceList().swap(state.sourceSentences);
    SentenceList().swap(state.targetSentences);
    if (!line.formatGiven || line.exportOptions.format == ExportFormat::Utf16) {
        ColumnList().swap(state.sourceColumn);
        ColumnList().swap(state.targetColumn);
    }

    // With --score the score takes the rows' place on standard output; a file is written all
    // the same.
    const bool score = !line.goldPath.empty();
    if (line.toFile || (line.formatGiven && !score)) {
        if (!Export(line, state, outputDescriptor)) {
            return DoneWithMessages;
        }
    } else if (!score && !WriteStandardOutput(ToUtf8(state.resultText))) {
        return DoneWithMessages;
    }
    if (score && !WriteStandardOutput(ScoreLine(ScoreLinks(gold, state.rows)))) {
        return DoneWithMessages;
    }
    // The rows went out with one tab each; the user hears how many of the text's own became
    // spaces to get there (a translation memory keeps them: XML carries tabs).
    if (tabs > 0 && line.exportOptions.format != ExportFormat::Tmx) {
        PrintError(TabsReplacedMessage(tabs));
        reported = true;
    }
    return reported ? DoneWithMessages : Done;
}

} // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
    // A run holds a few copies of the texts at a time (segments, columns, result), each of many
    // megabytes, and frees others on the way. Blocks of that size are given back to the system
    // when freed; by default the allocator would raise this bound to the largest block freed so
    // far and keep later ones in its heap, which fragments and holds a fifth more memory.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
    case CommandLine::Action::Help:
        std::fputs(UsageText, stdout);
        return Done;
    case CommandLine::Action::Version:
        std::puts("bitexa-align " BITEXA_VERSION);
        return Done;
    case CommandLine::Action::UsageError:
        std::fprintf(stderr, "bitexa-align: %s\n%s", line.error.c_str(), UsageText);
        return UsageOrInput;
    default:
        break;
    }
    // A file-size limit (ulimit -f) must make a failed write with a message, not end the run
    // without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        if (line.action == CommandLine::Action::Batch) {
            return RunBatchCommand(line);
        }
        return Run(line);
    } catch (const std::bad_alloc&) {
        PrintError(OutOfMemoryMessage);
        return DoneWithMessages;
    }
}
