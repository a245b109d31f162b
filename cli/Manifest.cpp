#include "cli/Manifest.h"

#include "cli/CommandLine.h"
#include "text/FileReader.h"
#include "text/NativePath.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <utility>

namespace bitexa {

namespace {

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.emplace_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

bool SaysNothing(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    return first == std::string_view::npos || line[first] == '#';
}

std::string FromFolder(const std::string& folder, const std::string& path) {
    if (folder.empty() || path.front() == '/') {
        return path;
    }
    return folder.back() == '/' ? folder + path : folder + "/" + path;
}

// The same file by name, for outputs that two lines would write or that a line would read.
std::string Key(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return (error ? std::filesystem::path(path) : absolute).lexically_normal().string();
}

// One line's pair, or the reason it has none.
struct LinePair {
    BatchPair pair;
    std::string error;
};

LinePair ParseLine(std::string_view text, const std::string& folder,
                   const std::vector<std::string>& pairOptions) {
    LinePair out;
    const std::vector<std::string> fields = SplitFields(text);
    if (fields.size() < 3 || fields[0].empty() || fields[1].empty() || fields[2].empty()) {
        out.error = "expected SOURCE, TARGET and OUTPUT separated by tabs";
        return out;
    }
    // The line read as a command line: the batch's pair options, the line's, and the two files.
    std::vector<std::string> args = pairOptions;
    for (std::size_t k = 3; k < fields.size(); ++k) {
        // An empty field (a tab too many) is no option.
        if (!fields[k].empty()) {
            args.push_back(fields[k]);
        }
    }
    args.insert(args.end(), {"--", FromFolder(folder, fields[0]), FromFolder(folder, fields[1])});
    const CommandLine line = ParseCommandLine(args);
    if (line.action == CommandLine::Action::UsageError) {
        out.error = line.error;
        return out;
    }
    if (line.action != CommandLine::Action::Align || line.toFile || !line.goldPath.empty()) {
        out.error = "only -s, -t, --slider, --model, --format, --source-lang and --target-lang "
                    "belong on a manifest line";
        return out;
    }
    out.pair.inputs = line.inputs;
    out.pair.exportOptions = line.exportOptions;
    out.pair.outputPath = PathFromNative(FromFolder(folder, fields[2]));
    return out;
}

} // namespace

Manifest ParseManifest(std::string_view text, const std::string& folder,
                       const std::vector<std::string>& pairOptions) {
    Manifest manifest;
    if (text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
    }
    // Where each output and input was named first, to refuse a line that would write over
    // another line's output or input: with the pairs on several threads, the result would
    // depend on which ran first.
    std::map<std::string, std::size_t> outputs;
    std::map<std::string, std::size_t> inputs;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (SaysNothing(line)) {
            continue;
        }
        LinePair parsed = ParseLine(line, folder, pairOptions);
        if (!parsed.error.empty()) {
            manifest.errors.push_back({number, parsed.error});
            continue;
        }
        parsed.pair.line = number;
        const std::string output = Key(PathToNative(parsed.pair.outputPath));
        if (const auto named = outputs.find(output); named != outputs.end()) {
            manifest.errors.push_back(
                {number, "the output is also that of line " + std::to_string(named->second)});
            continue;
        }
        outputs.emplace(output, number);
        for (const std::wstring* input :
             {&parsed.pair.inputs.sourcePath, &parsed.pair.inputs.targetPath}) {
            inputs.emplace(Key(PathToNative(*input)), number);
        }
        manifest.pairs.push_back(std::move(parsed.pair));
    }
    // An output that another line reads.
    std::erase_if(manifest.pairs, [&](const BatchPair& pair) {
        const auto reader = inputs.find(Key(PathToNative(pair.outputPath)));
        if (reader == inputs.end() || reader->second == pair.line) {
            return false;
        }
        manifest.errors.push_back(
            {pair.line, "the output is an input of line " + std::to_string(reader->second)});
        return true;
    });
    std::sort(manifest.errors.begin(), manifest.errors.end(),
              [](const auto& a, const auto& b) { return a.line < b.line; });
    return manifest;
}

Status ReadManifest(const std::wstring& path, const std::vector<std::string>& pairOptions,
                    Manifest& manifest) {
    if (Status readable = CheckReadable(path); !readable.ok()) {
        return readable;
    }
    std::vector<unsigned char> bytes;
    if (Status read = ReadFileBytes(path, bytes); !read.ok()) {
        return read;
    }
    const std::string native = PathToNative(path);
    const std::size_t slash = native.rfind('/');
    const std::string folder = slash == std::string::npos ? ""
                               : slash == 0               ? "/"
                                                          : native.substr(0, slash);
    manifest =
        ParseManifest(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                      folder, pairOptions);
    return Status::Success();
}

} // namespace bitexa
