#pragma once

#include <cstddef>

namespace bitexa {

// Windows code-page numbers, the names under which the encodings are known to our users.
namespace CodePages {
constexpr int Utf16Le = 1200;
constexpr int Utf16Be = 1201;
constexpr int Utf8 = 65001;
constexpr int Iso2022Jp = 50220;
constexpr int ShiftJis = 932; // the Windows variant
constexpr int EucJp = 51932;
constexpr int UsAscii = 20127;
} // namespace CodePages

struct CodePageChoice {
    int codePage;
    std::size_t skip; // leading bytes (a byte-order mark) that are not part of the text
};

// A multi-byte scan: whether it reached the end without an invalid sequence, and how many bytes
// lay in recognised multi-byte characters (kept also when the scan stopped as invalid).
struct ScanResult {
    bool valid;
    std::size_t count;
};

CodePageChoice DetectCodePage(const unsigned char* bytes, std::size_t size);

bool HasJisEscape(const unsigned char* bytes, std::size_t size);
ScanResult ScanShiftJis(const unsigned char* bytes, std::size_t size);
ScanResult ScanEucJp(const unsigned char* bytes, std::size_t size);
ScanResult ScanUtf8(const unsigned char* bytes, std::size_t size);

} // namespace bitexa
