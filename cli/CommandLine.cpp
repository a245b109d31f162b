#include "cli/CommandLine.h"

#include "text/NativePath.h"

#include <charconv>
#include <strings.h>

namespace bitexa {

const char* const UsageText =
    "usage: bitexa-align [options] SOURCE TARGET\n"
    "       bitexa-align --segments FILE [-m MODE]\n"
    "\n"
    "Aligns a text with its translation segment by segment.\n"
    "\n"
    "  -s, --source-mode MODE   none | japanese | english, or 0 | 1 | 2 (default english)\n"
    "  -t, --target-mode MODE   same (default japanese)\n"
    "      --slider N           -9 ... 9 (default -5), the window's sensitivity slider\n"
    "  -o, --output FILE        write the result file exactly as the window's Save does\n"
    "                           (UTF-16LE with a byte-order mark)\n"
    "      --threads N          threads for a long stretch, N >= 1 (default: one per core)\n"
    "      --segments FILE      print the file's segments, one per line (UTF-8)\n"
    "  -m, --mode MODE          split mode for --segments (default none)\n"
    "      --help               show this help\n"
    "      --version            show the version\n"
    "\n"
    "Without -o the rows go to standard output as UTF-8, one \"source<TAB>target\" line per row.\n"
    "Exit status: 0 done, 1 done with messages, 2 usage error or unreadable input.\n";

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
    if (begin != end && *begin == '+') {
        ++begin;
    }
    const auto [rest, error] = std::from_chars(begin, end, position);
    return error == std::errc() && rest == end && begin != end && position >= -9 && position <= 9;
}

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
enum class Option { None, SourceMode, TargetMode, Slider, Output, Threads, Segments, Mode };

Option OptionNamed(const std::string& name) {
    if (name == "-s" || name == "--source-mode")
        return Option::SourceMode;
    if (name == "-t" || name == "--target-mode")
        return Option::TargetMode;
    if (name == "--slider")
        return Option::Slider;
    if (name == "-o" || name == "--output")
        return Option::Output;
    if (name == "--threads")
        return Option::Threads;
    if (name == "--segments")
        return Option::Segments;
    if (name == "-m" || name == "--mode")
        return Option::Mode;
    return Option::None;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    std::vector<std::string> operands;
    bool segments = false;
    bool modeGiven = false;
    bool alignOptionGiven = false;
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
        case Option::Output:
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
            segments = true;
            line.segmentsPath = PathFromNative(value);
            break;
        case Option::None:
            break;
        }
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
    return line;
}

} // namespace bitexa
