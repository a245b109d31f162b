// A whole run on two arbitrary files with arbitrary split modes and slider: no crash, and the
// outputs agree with each other.
//
// Input layout: source mode, target mode, slider (one byte each), a two-byte source length, the
// source file's bytes, then the target file's bytes.

#include "run/RunCommand.h"
#include "text/NativePath.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::wstring WriteSide(const std::string& name, const std::uint8_t* data, std::size_t size) {
    const std::string path = "/tmp/bitexa-fuzz-run-" + std::to_string(getpid()) + "-" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return bitexa::PathFromNative(path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bitexa;
    if (size < 5) {
        return 0;
    }
    RunInputs inputs;
    inputs.sourceMode = static_cast<int>(data[0] % 5) - 1; // -1 ... 3
    inputs.targetMode = static_cast<int>(data[1] % 5) - 1;
    inputs.sliderPosition = static_cast<int>(data[2] % 19) - 9;
    std::size_t sourceSize = static_cast<std::size_t>(data[3]) << 8 | data[4];
    data += 5;
    size -= 5;
    if (sourceSize > size) {
        sourceSize = size;
    }
    inputs.sourcePath = WriteSide("s.txt", data, sourceSize);
    inputs.targetPath = WriteSide("t.txt", data + sourceSize, size - sourceSize);

    RunState state;
    RunAlignment(inputs, state, [](const std::wstring&, const std::wstring&) { std::abort(); });

    if (state.sourceColumn.size() != state.targetColumn.size()) {
        std::abort();
    }
    // A tab inside a cell is written as a space, so that it cannot split the row.
    std::wstring text;
    for (std::size_t row = 0; row < state.sourceColumn.size(); ++row) {
        std::wstring source = state.sourceColumn[row];
        std::wstring target = state.targetColumn[row];
        std::replace(source.begin(), source.end(), L'\t', L' ');
        std::replace(target.begin(), target.end(), L'\t', L' ');
        text += source + L"\t" + target + L"\n";
    }
    if (text != state.resultText) {
        std::abort();
    }
    // Every segment of a side stands in exactly one row: there are at least as many rows as
    // the longer side has entries after joining in pairs, and no more than both sides together.
    const std::size_t n = state.sourceSentences.size();
    const std::size_t m = state.targetSentences.size();
    const std::size_t rows = state.sourceColumn.size();
    if (rows > n + m || 2 * rows < std::max(n, m)) {
        std::abort();
    }
    unlink(PathToNative(inputs.sourcePath).c_str());
    unlink(PathToNative(inputs.targetPath).c_str());
    return 0;
}
