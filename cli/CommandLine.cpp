#include "cli/CommandLine.h"

#include "run/LanguageTag.h"
#include "text/NativePath.h"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <limits>
#include <strings.h>
#include <tuple>
#include <utility>

namespace bitexa {

const char* const UsageText =
    "usage: bitexa-align [options] SOURCE TARGET\n"
    "       bitexa-align --batch MANIFEST [--jobs N] [--skip-existing] [--max-memory SIZE]\n"
    "       bitexa-align --segments FILE [-m MODE]\n"
    "\n"
    "Aligns a text with its translation segment by segment.\n"
    "\n"
    "  -s, --source-mode MODE   none | japanese | english, or 0 | 1 | 2 (default english)\n"
    "  -t, --target-mode MODE   same (default japanese)\n"
    "      --slider N           -9 ... 9 (default -5), the window's sensitivity slider\n"
    "      --model MODEL        length | lexical (default length): pair by length alone, or\n"
    "                           by length and the words the segments share\n"
    "  -o, --output FILE        write the result file exactly as the window's Save does\n"
    "                           (UTF-16LE with a byte-order mark); - for standard output\n"
    "      --threads N          threads for a long stretch, N >= 1 (default: one per core)\n"
    "      --format FORMAT      utf16 (the result file, default) | tsv (UTF-8, cells without\n"
    "                           the English blanks) | tmx (a TMX 1.4b translation memory)\n"
    "      --source-lang TAG    language of the source side in a TMX file (BCP 47: en, ja,\n"
    "      --target-lang TAG    en-GB, ...); the default follows the split mode, and a side\n"
    "                           cut into lines only needs it\n"
    "      --score GOLD         print the precision, recall and F1 of the rows' segment links\n"
    "                           against a gold alignment (lines of segment numbers:\n"
    "                           \"1,2<TAB>3\") instead of the rows\n"
    "      --batch MANIFEST     align every pair of the manifest: one pair a line,\n"
    "                           SOURCE<TAB>TARGET<TAB>OUTPUT[<TAB>OPTION...], relative paths\n"
    "                           from the manifest's folder, # for comments; the pair options\n"
    "                           given here apply to every line before the line's own\n"
    "      --jobs N             pairs aligned at once (default: one per core)\n"
    "      --skip-existing      leave an OUTPUT that is newer than both its inputs\n"
    "      --max-memory SIZE    memory the pairs may plan to use at once, such as 4G\n"
    "                           (default: three quarters of the physical memory)\n"
    "      --segments FILE      print the file's segments, one per line (UTF-8)\n"
    "  -m, --mode MODE          split mode for --segments (default none)\n"
    "      --help               show this help\n"
    "      --version            show the version\n"
    "\n"
    "Without -o the rows go to standard output as UTF-8, one \"source<TAB>target\" line per row\n"
    "(with --format, in that format).\n"
    "Exit status: 0 done, 1 done with messages (a batch: some pairs failed), 2 usage error or\n"
    "unreadable input.\n";

bool ParseSplitMode(const std::string& text, int& mode) {
    static const char* const names[] = {"none", "japanese", "english"};
    for (int i = 0; i < 3; ++i) {
        if (strcasecmp(text.c_str(), names[i]) == 0 || text == std::to_string(i)) {
            mode = i;
            return true;
        }
    }
    return false;
}

namespace {

bool ParseSlider(const std::string& text, int& position) {
    const char* end = text.data() + text.size();
    const char* begin = text.data();
    // One sign at most: "+-3" is no number, though from_chars would read what follows the '+'.
    if (begin != end && *begin == '+') {
        ++begin;
        if (begin == end || *begin < '0' || *begin > '9') {
            return false;
        }
    }
    const auto [rest, error] = std::from_chars(begin, end, position);
    return error == std::errc() && rest == end && begin != end && position >= -9 && position <= 9;
}

// More workers than this helps no machine and is likely a typing slip.
constexpr unsigned MostJobs = 1024;

bool ParseThreads(const std::string& text, unsigned& threads) {
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, threads);
    return error == std::errc() && rest == end && !text.empty() && threads >= 1;
}

CommandLine UsageError(std::string reason) {
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.error = std::move(reason);
    return line;
}

// The long and short spellings of the options that take a value.
enum class Option {
    None,
    SourceMode,
    TargetMode,
    Slider,
    Model,
    Output,
    Score,
    Segments,
    Mode,
    Format,
    SourceLang,
    TargetLang,
    Batch,
    Jobs,
    MaxMemory,
    Threads,
};

Option OptionNamed(const std::string& name) {
    if (name == "-s" || name == "--source-mode")
        return Option::SourceMode;
    if (name == "-t" || name == "--target-mode")
        return Option::TargetMode;
    if (name == "--slider")
        return Option::Slider;
    if (name == "--model")
        return Option::Model;
    if (name == "-o" || name == "--output")
        return Option::Output;
    if (name == "--score")
        return Option::Score;
    if (name == "--threads")
        return Option::Threads;
    if (name == "--segments")
        return Option::Segments;
    if (name == "-m" || name == "--mode")
        return Option::Mode;
    if (name == "--format")
        return Option::Format;
    if (name == "--source-lang")
        return Option::SourceLang;
    if (name == "--target-lang")
        return Option::TargetLang;
    if (name == "--batch")
        return Option::Batch;
    if (name == "--jobs")
        return Option::Jobs;
    if (name == "--max-memory")
        return Option::MaxMemory;
    return Option::None;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    std::vector<std::string> operands;
    bool segments = false;
    bool modeGiven = false;
    bool alignOptionGiven = false;
    bool batch = false;
    bool batchOptionGiven = false;
    bool optionsEnded = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::Help;
            return line;
        }
        if (arg == "--version") {
            line.action = CommandLine::Action::Version;
            return line;
        }
        if (arg == "--skip-existing") {
            line.skipExisting = true;
            batchOptionGiven = true;
            continue;
        }

        // --name=value, --name value, -x value, -xvalue
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        if (arg.rfind("--", 0) == 0) {
            const std::size_t equals = arg.find('=');
            if (equals != std::string::npos) {
                name = arg.substr(0, equals);
                value = arg.substr(equals + 1);
                hasValue = true;
            }
        } else if (arg.size() > 2) {
            name = arg.substr(0, 2);
            value = arg.substr(2);
            hasValue = true;
        }
        const Option option = OptionNamed(name);
        if (option == Option::None) {
            return UsageError("unknown option '" + arg + "'");
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                return UsageError("option '" + name + "' needs a value");
            }
            value = args[++i];
        }

        if (option == Option::SourceMode || option == Option::TargetMode ||
            option == Option::Slider || option == Option::Model || option == Option::Format ||
            option == Option::SourceLang || option == Option::TargetLang) {
            line.pairOptions.insert(line.pairOptions.end(), {name, value});
        }

        switch (option) {
        case Option::SourceMode:
        case Option::TargetMode:
        case Option::Mode: {
            int mode = 0;
            if (!ParseSplitMode(value, mode)) {
                return UsageError("bad mode '" + value + "' for '" + name +
                                  "' (none, japanese, english, 0, 1 or 2)");
            }
            if (option == Option::SourceMode) {
                line.inputs.sourceMode = mode;
                alignOptionGiven = true;
            } else if (option == Option::TargetMode) {
                line.inputs.targetMode = mode;
                alignOptionGiven = true;
            } else {
                line.segmentsMode = mode;
                modeGiven = true;
            }
            break;
        }
        case Option::Slider:
            if (!ParseSlider(value, line.inputs.sliderPosition)) {
                return UsageError("slider position '" + value +
                                  "' is not a whole number from -9 to 9");
            }
            alignOptionGiven = true;
            break;
        case Option::Model:
            if (value == "length") {
                line.inputs.model = AlignModel::Length;
            } else if (value == "lexical") {
                line.inputs.model = AlignModel::Lexical;
            } else {
                return UsageError("bad model '" + value + "' (length or lexical)");
            }
            alignOptionGiven = true;
            break;
        case Option::Score:
            if (value.empty()) {
                return UsageError("option '" + name + "' needs a file name");
            }
            line.goldPath = PathFromNative(value);
            alignOptionGiven = true;
            break;
        case Option::Output:
            // Found out only after the whole run otherwise, when nothing can be written.
            if (value.empty()) {
                return UsageError("option '" + name + "' needs a file name");
            }
            line.toFile = true;
            line.outputPath = PathFromNative(value);
            alignOptionGiven = true;
            break;
        case Option::Threads:
            if (!ParseThreads(value, line.threads)) {
                return UsageError("thread count '" + value + "' is not a whole number from 1 up");
            }
            alignOptionGiven = true;
            break;
        case Option::Segments:
            if (segments) {
                return UsageError("--segments given twice");
            }
            if (value.empty()) {
                return UsageError("option '" + name + "' needs a file name");
            }
            segments = true;
            line.segmentsPath = PathFromNative(value);
            break;
        case Option::Format: {
            const auto format = ExportFormatNamed(value);
            if (!format) {
                return UsageError("bad format '" + value + "' for '--format' (utf16, tsv or tmx)");
            }
            line.exportOptions.format = *format;
            line.formatGiven = true;
            alignOptionGiven = true;
            break;
        }
        case Option::SourceLang:
        case Option::TargetLang:
            if (!IsLanguageTag(value)) {
                return UsageError("'" + value + "' for '" + name +
                                  "' is not a language tag (BCP 47, such as en, ja or en-GB)");
            }
            (option == Option::SourceLang ? line.exportOptions.sourceLanguage
                                          : line.exportOptions.targetLanguage) = value;
            alignOptionGiven = true;
            break;
        case Option::Batch:
            if (batch) {
                return UsageError("--batch given twice");
            }
            batch = true;
            line.batchPath = PathFromNative(value);
            break;
        case Option::Jobs: {
            const auto [rest, error] =
                std::from_chars(value.data(), value.data() + value.size(), line.jobs);
            if (error != std::errc() || rest != value.data() + value.size() || line.jobs < 1 ||
                line.jobs > MostJobs) {
                return UsageError("--jobs '" + value + "' is not a whole number from 1 to " +
                                  std::to_string(MostJobs));
            }
            batchOptionGiven = true;
            break;
        }
        case Option::MaxMemory:
            if (!ParseByteSize(value, line.maxMemory)) {
                return UsageError("--max-memory '" + value +
                                  "' is not a size such as 4096, 512M or 2G");
            }
            batchOptionGiven = true;
            break;
        case Option::None:
            break;
        }
    }

    if (batch) {
        if (segments || line.toFile || !line.goldPath.empty() || !operands.empty()) {
            return UsageError(
                "--batch takes a MANIFEST and no SOURCE, TARGET, -o, --score or --segments");
        }
        line.action = CommandLine::Action::Batch;
        return line;
    }
    if (batchOptionGiven) {
        return UsageError("--jobs, --skip-existing and --max-memory go with --batch");
    }

    if (segments) {
        if (alignOptionGiven || !operands.empty()) {
            return UsageError("--segments takes one FILE and only the option -m");
        }
        line.action = CommandLine::Action::Segments;
        return line;
    }
    if (modeGiven) {
        return UsageError("-m is for --segments; use -s and -t for an alignment");
    }
    if (operands.size() != 2) {
        return UsageError("expected two files, SOURCE and TARGET, got " +
                          std::to_string(operands.size()));
    }
    line.inputs.sourcePath = PathFromNative(operands[0]);
    line.inputs.targetPath = PathFromNative(operands[1]);
    if (line.exportOptions.format == ExportFormat::Tmx) {
        for (const auto& [given, mode, option] :
             {std::tuple{line.exportOptions.sourceLanguage, line.inputs.sourceMode,
                         "--source-lang"},
              std::tuple{line.exportOptions.targetLanguage, line.inputs.targetMode,
                         "--target-lang"}}) {
            if (LanguageFor(given, SplitModeFromIndex(mode)).empty()) {
                return UsageError(std::string("--format tmx needs ") + option +
                                  " for a side cut into lines only");
            }
        }
    }
    return line;
}

bool ParseByteSize(const std::string& text, std::uint64_t& bytes) {
    std::uint64_t number = 0;
    const char* end = text.data() + text.size();
    const auto [rest, error] = std::from_chars(text.data(), end, number);
    if (error != std::errc() || rest == text.data() || number == 0) {
        return false;
    }
    int shift = 0;
    if (rest != end) {
        const std::string suffix(rest, end);
        static const std::pair<const char*, int> units[] = {
            {"K", 10}, {"M", 20}, {"G", 30}, {"T", 40}};
        const auto unit = std::find_if(std::begin(units), std::end(units), [&](const auto& u) {
            return strcasecmp(suffix.c_str(), u.first) == 0;
        });
        if (unit == std::end(units)) {
            return false;
        }
        shift = unit->second;
    }
    if (number > (std::numeric_limits<std::uint64_t>::max() >> shift)) {
        return false;
    }
    bytes = number << shift;
    return true;
}

} // namespace bitexa
