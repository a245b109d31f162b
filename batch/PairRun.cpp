#include "batch/PairRun.h"

#include "batch/PairMemory.h"
#include "text/FileReader.h"
#include "text/NativePath.h"
#include "text/TextLoader.h"
#include "text/Utf16.h"

#include <sys/stat.h>

#include <exception>
#include <filesystem>
#include <new>
#include <utility>

namespace bitexa {

namespace {

std::wstring PathAndReason(const std::wstring& path, const std::wstring& reason) {
    return path + L": " + reason;
}

bool ModifiedAt(const std::wstring& path, struct timespec& when) {
    struct stat st {};
    if (::stat(PathToNative(path).c_str(), &st) != 0) {
        return false;
    }
    when = st.st_mtim;
    return true;
}

bool Later(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// An output written after both inputs last changed is this pair's finished work.
bool IsUpToDate(const BatchPair& pair) {
    struct timespec output {
    }, source{}, target{};
    return ModifiedAt(pair.outputPath, output) && ModifiedAt(pair.inputs.sourcePath, source) &&
           ModifiedAt(pair.inputs.targetPath, target) && Later(output, source) &&
           Later(output, target);
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
    std::error_code error;
    return std::filesystem::equivalent(PathToNative(a), PathToNative(b), error);
}

// Why the side cannot be loaded; empty when it is.
std::wstring Load(const std::wstring& path, int mode, SentenceList& list) {
    if (const Status readable = CheckReadable(path); !readable.ok()) {
        return PathAndReason(path, readable.reason);
    }
    const Status loaded = LoadSide(path, SplitModeFromIndex(mode), list);
    if (loaded.kind == Status::Kind::RefusedName) {
        return RefusedNameMessage(path);
    }
    return loaded.ok() ? std::wstring() : PathAndReason(path, loaded.reason);
}

PairResult Failed(const BatchPair& pair, std::wstring message) {
    return {pair.line, PairResult::Outcome::Failed, std::move(message), {}};
}

PairResult Align(const BatchPair& pair, MemoryBudget& budget, bool skipExisting) {
    if (SameFile(pair.outputPath, pair.inputs.sourcePath) ||
        SameFile(pair.outputPath, pair.inputs.targetPath)) {
        return Failed(pair, PathAndReason(pair.outputPath, L"the output would replace an input"));
    }
    if (skipExisting && IsUpToDate(pair)) {
        return {pair.line, PairResult::Outcome::Skipped, {}, {}};
    }

    RunState state;
    for (std::wstring problem :
         {Load(pair.inputs.sourcePath, pair.inputs.sourceMode, state.sourceSentences),
          Load(pair.inputs.targetPath, pair.inputs.targetMode, state.targetSentences)}) {
        if (!problem.empty()) {
            return Failed(pair, std::move(problem));
        }
    }
    const MemoryBudget::Reservation reservation(
        budget,
        EstimatePairMemory(state.sourceSentences, state.targetSentences, pair.inputs.model));
    // The sides are loaded: empty paths make the run keep them.
    RunInputs inputs = pair.inputs;
    inputs.sourcePath.clear();
    inputs.targetPath.clear();
    // The batch spreads the pairs over the cores; one pair's alignment keeps to its thread.
    AlignControl control;
    control.threads = 1;
    RunAlignment(
        inputs, state, [](const std::wstring&, const std::wstring&) {}, &control);
    PairResult result{pair.line, PairResult::Outcome::Written, {}, {}};
    const Status written = ExportRun(pair.outputPath, state, pair.exportOptions, result.counts);
    if (!written.ok()) {
        return Failed(pair, PathAndReason(pair.outputPath, written.reason));
    }
    return result;
}

} // namespace

PairResult RunPair(const BatchPair& pair, MemoryBudget& budget, bool skipExisting) {
    try {
        return Align(pair, budget, skipExisting);
    } catch (const std::bad_alloc&) {
        return Failed(pair, OutOfMemoryMessage);
    } catch (const std::exception& error) {
        // Whatever else goes wrong with one pair must not end the others' worker.
        return Failed(pair, FromUtf8(error.what()));
    }
}

} // namespace bitexa
