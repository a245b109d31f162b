#pragma once

namespace bitexa {

// How a side is cut into segments. The values are the indices of the split-mode boxes' entries,
// which the settings file and the command line store as numbers.
enum class SplitMode {
    Lines = 0,    // "文切りなし": lines only
    Japanese = 1, // "日本語"
    English = 2,  // "English"
};

// The mode of a split-mode box's index or a stored value. Anything but 1 and 2 (no selection
// gives -1, a hand-edited settings file anything) cuts into lines only.
constexpr SplitMode SplitModeFromIndex(int index) {
    switch (index) {
    case 1:
        return SplitMode::Japanese;
    case 2:
        return SplitMode::English;
    default:
        return SplitMode::Lines;
    }
}

} // namespace bitexa
