// Arbitrary bytes as a file's content: detection, decoding and line cutting must never crash, and
// the list must keep its shape whatever the bytes.

#include "text/EncodingDetector.h"
#include "text/LineSplitter.h"
#include "text/Utf16.h"
#include "text/Utf16Converter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace bitexa;
    const CodePageChoice choice = DetectCodePage(data, size);
    if (choice.skip > size || IcuConverterName(choice.codePage) == nullptr) {
        std::abort();
    }
    std::u16string units;
    if (!ConvertToUtf16(data + choice.skip, size - choice.skip, choice.codePage, units).ok()) {
        std::abort(); // every detected code page decodes, invalid bytes as U+FFFD
    }
    const std::wstring text = WidenUtf16(units);
    SentenceList list;
    SplitLines(text, list);
    if (list.empty() || !list.front().empty()) {
        std::abort();
    }
    for (const std::wstring& line : list) {
        if (line.find_first_of(L"\r\n") != std::wstring::npos) {
            std::abort();
        }
    }
    return 0;
}
