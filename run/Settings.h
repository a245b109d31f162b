#pragma once

#include "run/RunCommand.h"
#include "text/Status.h"

#include <string>

namespace bitexa {

// The longest stored path that is read back, in UTF-16 code units: the reader's buffer holds
// 4096 characters with the terminating zero.
inline constexpr std::size_t MaxStoredPathLength = 4095;

// Reads the inputs of the main dialog from the settings file. A missing file, section or key
// gives the default of RunInputs (a file from before the model key reads as the length model);
// an integer that does not begin with a number reads as 0, a model other than "lexical" as
// "length".
// Values are returned as stored: the window clamps the slider and refuses unknown split modes.
// A file that exists but cannot be read gives the defaults too; readStatus, when given, says why.
RunInputs LoadSettings(const std::wstring& path, Status* readStatus = nullptr);

// Writes the inputs in the order path/source0, path/target0, split/source, split/target,
// sensitivity/value, model/value ("length" or "lexical"; left out while the model is the length
// model and the file has no such key), keeping every other section, key and comment of the file
// in place. The
// file is replaced atomically; its folder is created when missing. An existing file that cannot
// be read is left alone. The window does not tell the user of a failure: a lost setting is not
// worth a message.
Status SaveSettings(const std::wstring& path, const RunInputs& inputs);

// The program's own path with the extension of its last component replaced by ".ini", or with
// ".ini" appended when that component has no dot.
std::wstring SettingsFilePath(const std::wstring& programPath);

// The same file name in the user's configuration folder: "<config>/bitexa/<name>.ini", where
// config is xdgConfigHome when it is an absolute path, else home + "/.config". Empty when
// neither gives a folder.
std::wstring FallbackSettingsFilePath(const std::wstring& settingsPath,
                                      const std::wstring& xdgConfigHome, const std::wstring& home);

// The settings file of the program at programPath: beside the program when its folder can be
// written, else the fallback from $XDG_CONFIG_HOME and $HOME (an installed program in /usr/bin).
std::wstring SettingsFileLocation(const std::wstring& programPath);

} // namespace bitexa
