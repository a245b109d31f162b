// Arbitrary text through the Japanese and English rules: no crash, no hang, the promised shape of
// the result, and for texts the plain regular-expression passes can still handle, exactly their
// result.

#include "reference/ReferenceSegmentation.h"
#include "text/Utf16.h"
#include "text/rules/EnglishRules.h"
#include "text/rules/JapaneseRules.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace {

// Both rules end by reducing every run of line feeds to two. (A CR LF may still stand in the
// result: a lone CR of the file can meet a line feed that a rule inserted.)
void CheckShape(const std::wstring& text) {
    if (text.find(L"\n\n\n") != std::wstring::npos) {
        std::abort();
    }
}

// Boost compares only the low 16 bits of a wide character with the line separators, so to the
// regular expressions U+82029 ends a line as U+2029 does. Our rules take the real code point;
// texts with such a character are not compared.
bool HasSeparatorLookAlike(const std::wstring& text) {
    for (wchar_t c : text) {
        const auto code = static_cast<std::uint32_t>(c);
        const std::uint32_t low = code & 0xFFFF;
        if (code > 0xFFFF && (low == 0x0A || low == 0x0D || low == 0x0C || low == 0x85 ||
                              low == 0x2028 || low == 0x2029)) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bitexa;
    const std::wstring input =
        FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));

    std::wstring japanese = input;
    SplitJapanese(japanese);
    CheckShape(japanese);
    std::wstring english = input;
    SplitEnglish(english);
    CheckShape(english);

    // The plain passes are quadratic on some inputs; short texts keep every run quick. Where
    // the regular-expression engine gives up even so, there is nothing to compare with.
    if (input.size() <= 2000 && !HasSeparatorLookAlike(input)) {
        try {
            if (japanese != ReferenceSplitJapanese(input) ||
                english != ReferenceSplitEnglish(input)) {
                std::abort();
            }
        } catch (const std::runtime_error&) {
        }
    }
    return 0;
}
