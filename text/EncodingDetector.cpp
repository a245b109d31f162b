#include "text/EncodingDetector.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace bitexa {

namespace {

constexpr unsigned char Esc = 0x1B;

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

bool StartsWith(const unsigned char* bytes, std::size_t size, std::string_view prefix) {
    return size >= prefix.size() && std::memcmp(bytes, prefix.data(), prefix.size()) == 0;
}

// The designations that mark a 7-bit file as ISO-2022-JP.
constexpr std::string_view JisEscapes[] = {
    "\x1B(B",       // ASCII
    "\x1B(J",       // JIS X 0201 Roman
    "\x1B(I",       // JIS X 0201 katakana
    "\x1B$@",       // JIS C 6226-1978
    "\x1B$B",       // JIS X 0208-1983
    "\x1B$(D",      // JIS X 0212-1990
    "\x1B&@\x1B$B", // JIS X 0208-1990
};

// The first byte from `from` on that is above 0x7F or, if `escapes`, an ESC; `size` if none.
// Eight bytes at a time: a text of megabytes is mostly bytes that are neither.
std::size_t SkipPlainBytes(const unsigned char* bytes, std::size_t from, std::size_t size,
                           bool escapes) {
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t highs = 0x8080808080808080;
    std::size_t i = from;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, sizeof word);
        // A byte of `word ^ ESC...` is 0 where an ESC stands: the usual test for a zero byte
        // (it never misses one; it may flag a byte after a zero one, which is then looked at).
        const std::uint64_t escape = word ^ (ones * Esc);
        const std::uint64_t marks =
            (word & highs) | (escapes ? (escape - ones) & ~escape & highs : 0);
        if (marks != 0) {
            break;
        }
    }
    for (; i < size; ++i) {
        if (bytes[i] > 0x7F || (escapes && bytes[i] == Esc)) {
            return i;
        }
    }
    return size;
}

} // namespace

bool HasJisEscape(const unsigned char* bytes, std::size_t size) {
    for (std::size_t i = SkipPlainBytes(bytes, 0, size, true); i < size;
         i = SkipPlainBytes(bytes, i + 1, size, true)) {
        if (bytes[i] > 0x7F) {
            return false; // 8-bit text is not ISO-2022-JP, whatever follows
        }
        if (bytes[i] == Esc) {
            for (const std::string_view escape : JisEscapes) {
                // A sequence cut off by the end of the buffer does not count.
                if (StartsWith(bytes + i, size - i, escape)) {
                    return true;
                }
            }
        }
    }
    return false;
}

// The three scans share their walk: 7-bit bytes and a high byte standing last are passed over,
// and a scan that reaches the end is valid. Each counts the bytes of the multi-byte characters
// it recognises; the detector compares those counts even when a scan stopped as invalid.

ScanResult ScanShiftJis(const unsigned char* bytes, std::size_t size) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < size) {
        const unsigned char a = bytes[i];
        if (a <= 0x7F || i + 1 == size || InRange(a, 0xA1, 0xDF)) {
            ++i; // 7-bit, last byte, or single-byte katakana
            continue;
        }
        const unsigned char b = bytes[i + 1];
        const bool lead = InRange(a, 0x81, 0x9F) || InRange(a, 0xE0, 0xFC);
        const bool trail = InRange(b, 0x40, 0x7E) || InRange(b, 0x80, 0xFC);
        if (!lead || !trail) {
            return {false, count};
        }
        count += 2;
        i += 2;
    }
    return {true, count};
}

ScanResult ScanEucJp(const unsigned char* bytes, std::size_t size) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < size) {
        const unsigned char a = bytes[i];
        if (a <= 0x7F || i + 1 == size) {
            ++i;
            continue;
        }
        const unsigned char b = bytes[i + 1];
        if ((InRange(a, 0xA1, 0xFE) || a == 0x8E) && b >= 0xA1) {
            count += 2; // JIS X 0208, or SS2 with a half-width katakana
            i += 2;
            continue;
        }
        if (i + 2 == size) {
            return {false, count}; // no room for a three-byte character
        }
        const unsigned char c = bytes[i + 2];
        if (a == 0x8F && InRange(b, 0xA1, 0xFE) && InRange(c, 0xA1, 0xFE)) {
            count += 3; // SS3 with JIS X 0212
            i += 3;
            continue;
        }
        return {false, count};
    }
    return {true, count};
}

ScanResult ScanUtf8(const unsigned char* bytes, std::size_t size) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < size) {
        const unsigned char a = bytes[i];
        if (a <= 0x7F || i + 1 == size) {
            ++i;
            continue;
        }
        const unsigned char b = bytes[i + 1];
        if (InRange(a, 0xC0, 0xDF) && InRange(b, 0x80, 0xBF)) {
            count += 2;
            i += 2;
            continue;
        }
        if (i + 2 == size) {
            ++i; // a and b end the buffer: pass a over, b is then the last byte
            continue;
        }
        const unsigned char c = bytes[i + 2];
        if (InRange(a, 0xE0, 0xEF) && InRange(b, 0x80, 0xBF) && c >= 0x80) {
            count += 3;
            i += 3;
            continue;
        }
        if (i + 3 == size) {
            return {false, count}; // exactly three bytes left and they are no character
        }
        const unsigned char d = bytes[i + 3];
        if (InRange(a, 0xF0, 0xF7) && InRange(b, 0x80, 0xBF) && c >= 0x80 && d >= 0x80) {
            count += 4;
            i += 4;
            continue;
        }
        ++i; // a stray high byte is passed over, not held against the text
    }
    return {true, count};
}

CodePageChoice DetectCodePage(const unsigned char* bytes, std::size_t size) {
    // A byte-order mark decides. FF FE 00 00 (UTF-32) is taken for UTF-16 little-endian too.
    if (StartsWith(bytes, size, "\xFF\xFE")) {
        return {CodePages::Utf16Le, 2};
    }
    if (StartsWith(bytes, size, "\xFE\xFF")) {
        return {CodePages::Utf16Be, 2};
    }
    if (StartsWith(bytes, size, "\xEF\xBB\xBF")) {
        return {CodePages::Utf8, 3};
    }

    if (HasJisEscape(bytes, size)) {
        return {CodePages::Iso2022Jp, 0};
    }
    if (SkipPlainBytes(bytes, 0, size, false) == size) {
        return {CodePages::UsAscii, 0};
    }

    const ScanResult sjis = ScanShiftJis(bytes, size);
    const ScanResult euc = ScanEucJp(bytes, size);
    const ScanResult utf8 = ScanUtf8(bytes, size);
    if (!sjis.valid && !euc.valid && !utf8.valid) {
        return {CodePages::Utf8, 0};
    }
    const std::size_t s = sjis.count;
    const std::size_t e = euc.count;
    const std::size_t u = utf8.count;
    if (e > s && e > u) {
        return {CodePages::EucJp, 0};
    }
    if (s > e && s > u) {
        return {CodePages::ShiftJis, 0};
    }
    // UTF-8 wins every tie: it is the encoding a new file is most likely to be in.
    return {CodePages::Utf8, 0};
}

} // namespace bitexa
