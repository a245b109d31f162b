#include "run/Settings.h"

#include "run/IniFile.h"
#include "text/NativePath.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

namespace bitexa {

namespace {

// Sections and keys of the settings file, in the order in which a new file lists them.
constexpr const char* PathSection = "path";
constexpr const char* SourcePathKey = "source0";
constexpr const char* TargetPathKey = "target0";
constexpr const char* SplitSection = "split";
constexpr const char* SourceModeKey = "source";
constexpr const char* TargetModeKey = "target";
constexpr const char* SensitivitySection = "sensitivity";
constexpr const char* SliderKey = "value";
constexpr const char* ModelSection = "model";
constexpr const char* ModelKey = "value";
constexpr const char* LengthModelName = "length";
constexpr const char* LexicalModelName = "lexical";

constexpr const wchar_t* SettingsFolderName = L"bitexa";

// Cuts a stored path to what the reader's buffer takes, never between the two halves of a
// character above U+FFFF.
std::wstring LimitStoredPath(std::wstring path) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const std::size_t width = static_cast<std::uint32_t>(path[i]) > 0xFFFF ? 2 : 1;
        if (units + width > MaxStoredPathLength) {
            path.resize(i);
            break;
        }
        units += width;
    }
    return path;
}

std::wstring ReadPath(const IniFile& file, const char* section, const char* key,
                      const std::wstring& fallback) {
    const auto value = file.Get(section, key);
    return value ? LimitStoredPath(PathFromNative(*value)) : fallback;
}

int ReadInt(const IniFile& file, const char* section, const char* key, int fallback) {
    const auto value = file.Get(section, key);
    return value ? ParseProfileInt(*value) : fallback;
}

// Anything but "lexical" (a file from before the key, a hand-edited value) is the length model.
AlignModel ReadModel(const IniFile& file) {
    const auto value = file.Get(ModelSection, ModelKey);
    return value && *value == LexicalModelName ? AlignModel::Lexical : AlignModel::Length;
}

std::size_t LastSeparator(const std::wstring& path) {
    return path.rfind(L'/');
}

} // namespace

RunInputs LoadSettings(const std::wstring& path, Status* readStatus) {
    const RunInputs defaults;
    IniFile file;
    Status status = file.Load(path);
    if (readStatus != nullptr) {
        *readStatus = status;
    }
    if (!status.ok()) {
        return defaults;
    }
    RunInputs inputs;
    inputs.sourcePath = ReadPath(file, PathSection, SourcePathKey, defaults.sourcePath);
    inputs.targetPath = ReadPath(file, PathSection, TargetPathKey, defaults.targetPath);
    inputs.sourceMode = ReadInt(file, SplitSection, SourceModeKey, defaults.sourceMode);
    inputs.targetMode = ReadInt(file, SplitSection, TargetModeKey, defaults.targetMode);
    inputs.sliderPosition = ReadInt(file, SensitivitySection, SliderKey, defaults.sliderPosition);
    inputs.model = ReadModel(file);
    return inputs;
}

Status SaveSettings(const std::wstring& path, const RunInputs& inputs) {
    IniFile file;
    if (Status status = file.Load(path); !status.ok()) {
        return status;
    }
    file.Set(PathSection, SourcePathKey, PathToNative(inputs.sourcePath));
    file.Set(PathSection, TargetPathKey, PathToNative(inputs.targetPath));
    file.Set(SplitSection, SourceModeKey, std::to_string(inputs.sourceMode));
    file.Set(SplitSection, TargetModeKey, std::to_string(inputs.targetMode));
    file.Set(SensitivitySection, SliderKey, std::to_string(inputs.sliderPosition));
    // A file that never had a model keeps the length model without the key, byte for byte.
    if (inputs.model != AlignModel::Length || file.Get(ModelSection, ModelKey)) {
        file.Set(ModelSection, ModelKey,
                 inputs.model == AlignModel::Lexical ? LexicalModelName : LengthModelName);
    }

    const std::filesystem::path folder = std::filesystem::path(PathToNative(path)).parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
    }
    return file.Save(path);
}

std::wstring SettingsFilePath(const std::wstring& programPath) {
    const std::size_t separator = LastSeparator(programPath);
    const std::size_t nameStart = separator == std::wstring::npos ? 0 : separator + 1;
    const std::size_t dot = programPath.rfind(L'.');
    if (dot == std::wstring::npos || dot < nameStart) {
        return programPath + L".ini";
    }
    return programPath.substr(0, dot) + L".ini";
}

std::wstring FallbackSettingsFilePath(const std::wstring& settingsPath,
                                      const std::wstring& xdgConfigHome, const std::wstring& home) {
    auto withoutTrailingSlashes = [](std::wstring folder) {
        while (!folder.empty() && folder.back() == L'/') {
            folder.pop_back();
        }
        return folder;
    };
    std::wstring config;
    // A relative $XDG_CONFIG_HOME is invalid and is ignored, as every program that reads it does.
    if (!xdgConfigHome.empty() && xdgConfigHome.front() == L'/') {
        config = withoutTrailingSlashes(xdgConfigHome);
    } else if (!home.empty()) {
        config = withoutTrailingSlashes(home) + L"/.config";
    } else {
        return {};
    }
    const std::size_t separator = LastSeparator(settingsPath);
    const std::wstring name =
        separator == std::wstring::npos ? settingsPath : settingsPath.substr(separator + 1);
    return config + L"/" + SettingsFolderName + L"/" + name;
}

std::wstring SettingsFileLocation(const std::wstring& programPath) {
    const std::wstring besideProgram = SettingsFilePath(programPath);
    const std::size_t separator = LastSeparator(programPath);
    const std::wstring folder = separator == std::wstring::npos ? L"."
                                : separator == 0                ? L"/"
                                                                : programPath.substr(0, separator);
    if (::access(PathToNative(folder).c_str(), W_OK) == 0) {
        return besideProgram;
    }
    auto environment = [](const char* name) {
        const char* value = std::getenv(name);
        return value == nullptr ? std::wstring() : PathFromNative(value);
    };
    const std::wstring fallback = FallbackSettingsFilePath(
        besideProgram, environment("XDG_CONFIG_HOME"), environment("HOME"));
    return fallback.empty() ? besideProgram : fallback;
}

} // namespace bitexa
