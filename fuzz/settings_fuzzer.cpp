// Arbitrary bytes as a settings file: reading never crashes, rewriting a file the program wrote
// changes nothing (the first write may only unify line ends), and what the program writes reads
// back the same.

#include "run/IniFile.h"
#include "run/Settings.h"
#include "text/NativePath.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const std::string& WorkFile() {
    static const std::string path =
        "/tmp/bitexa-fuzz-settings-" + std::to_string(getpid()) + ".ini";
    return path;
}

// A value the file format can hold unchanged: one line, no blanks or quotes around it.
bool Storable(const std::wstring& value) {
    if (value.find_first_of(std::wstring(L"\r\n\0", 3)) != std::wstring::npos) {
        return false;
    }
    if (!value.empty() && (value.front() == L' ' || value.back() == L' ' ||
                           value.front() == L'\t' || value.back() == L'\t' ||
                           (value.size() >= 2 && value.front() == L'"' && value.back() == L'"'))) {
        return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bitexa;
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    IniFile first;
    first.Parse(bytes);
    IniFile second;
    second.Parse(first.Serialize());
    IniFile third;
    third.Parse(second.Serialize());
    if (third.Serialize() != second.Serialize()) {
        std::abort();
    }

    std::ofstream(WorkFile(), std::ios::binary | std::ios::trunc) << bytes;
    const std::wstring path = PathFromNative(WorkFile());
    const RunInputs read = LoadSettings(path);
    if (SaveSettings(path, read).ok()) {
        const RunInputs again = LoadSettings(path);
        if (again.sourceMode != read.sourceMode || again.targetMode != read.targetMode ||
            again.sliderPosition != read.sliderPosition ||
            (Storable(read.sourcePath) && again.sourcePath != read.sourcePath) ||
            (Storable(read.targetPath) && again.targetPath != read.targetPath)) {
            std::abort();
        }
    }
    unlink(WorkFile().c_str());
    return 0;
}
