// Arbitrary text through the Japanese and English rules: no crash, no hang, the promised shape of
// the result, and for texts the plain regular-expression passes can still handle, exactly their
// result.

#include "tests/reference/ReferenceSegmentation.h"
#include "text/EnglishRules.h"
#include "text/JapaneseRules.h"
#include "text/Utf16.h"

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
    if (input.size() <= 2000) {
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
