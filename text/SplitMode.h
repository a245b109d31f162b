#pragma once

namespace bitexa {

// The index of a side's split-mode box. Any other value (no selection gives -1) cuts into lines
// only.
namespace SplitModes {
constexpr int None = 0;     // "文切りなし": lines only
constexpr int Japanese = 1; // "日本語"
constexpr int English = 2;  // "English"
} // namespace SplitModes

} // namespace bitexa
