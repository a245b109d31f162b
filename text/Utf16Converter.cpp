#include "text/Utf16Converter.h"

#include "text/EncodingDetector.h"
#include "text/Utf16.h"

#include <unicode/localpointer.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <algorithm>

namespace bitexa {

namespace {

// Input is fed to the converter in pieces of this size, so no single call (ICU counts in 32-bit
// integers inside) ever sees more than this, whatever the size of the file.
constexpr std::size_t InputChunk = std::size_t{1} << 20;
constexpr std::size_t OutputSlack = 16;

// Every byte sequence that is invalid or has no Unicode mapping in the code page, and every
// unpaired surrogate in UTF-16 input, becomes one U+FFFD. ICU's own default would write U+001A
// (a control character) for some single bytes of the Japanese code pages; a visible replacement
// character tells the reader where the file was damaged.
void WriteReplacementCharacter(const void* /*context*/, UConverterToUnicodeArgs* args,
                               const char* /*codeUnits*/, int32_t /*length*/,
                               UConverterCallbackReason reason, UErrorCode* status) {
    if (reason > UCNV_IRREGULAR) {
        return; // reset, close or clone: nothing to write
    }
    static const UChar replacement = 0xFFFD;
    *status = U_ZERO_ERROR;
    ucnv_cbToUWriteUChars(args, &replacement, 1, 0, status);
}

// A failed conversion gives no text; the reason is ICU's name for the error.
Status DecodeFailure(UErrorCode error) {
    return Status::WithReason(Status::Kind::CannotDecode, {}, FromUtf8(u_errorName(error)));
}

} // namespace

const char* IcuConverterName(int codePage) {
    // "Shift_JIS" and "cp932" are ambiguous in ICU and may pick a table that maps 5C to the yen
    // sign or 81 60 to U+301C; "windows-31j" is the Windows table.
    switch (codePage) {
    case CodePages::ShiftJis:
        return "windows-31j";
    case CodePages::EucJp:
        return "EUC-JP";
    case CodePages::Iso2022Jp:
        // The 1 in the name adds JIS X 0212 (ESC $ ( D) to what it reads, and with it the
        // announcer ESC & @ that may stand before ESC $ B; the plain ISO-2022-JP converter
        // decodes the announcer as U+FFFD and JIS X 0212 text as pairs of ASCII characters,
        // whose punctuation then cuts sentences. Everything else decodes alike.
        return "ISO-2022-JP-1";
    case CodePages::UsAscii:
        return "US-ASCII";
    case CodePages::Utf16Le:
        return "UTF-16LE";
    case CodePages::Utf16Be:
        return "UTF-16BE";
    case CodePages::Utf8:
        return "UTF-8";
    default:
        return nullptr;
    }
}

Status ConvertToUtf16(const unsigned char* bytes, std::size_t size, int codePage,
                      std::u16string& units) {
    units.clear();
    const char* name = IcuConverterName(codePage);
    if (name == nullptr) {
        return Status::WithReason(Status::Kind::CannotDecode, {}, L"unknown code page");
    }
    if (size == 0) {
        return Status::Success();
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::LocalUConverterPointer converter(ucnv_open(name, &status));
    if (U_FAILURE(status)) {
        return DecodeFailure(status);
    }
    ucnv_setToUCallBack(converter.getAlias(), WriteReplacementCharacter, nullptr, nullptr, nullptr,
                        &status);
    if (U_FAILURE(status)) {
        return DecodeFailure(status);
    }

    // One converter state runs across all pieces, so a character or an ISO-2022-JP shift state
    // that straddles two pieces decodes as if the buffer had been given whole.
    const char* source = reinterpret_cast<const char*>(bytes);
    const char* const end = source + size;
    for (;;) {
        const char* const sourceLimit =
            source + std::min(static_cast<std::size_t>(end - source), InputChunk);
        const bool last = sourceLimit == end;
        // Every code page here gives at most one unit per input byte, plus one for a sequence
        // cut off at the end; should a converter give more, the overflow below asks again.
        const std::size_t used = units.size();
        units.resize(used + static_cast<std::size_t>(sourceLimit - source) + OutputSlack);
        UChar* target = units.data() + used;
        status = U_ZERO_ERROR;
        ucnv_toUnicode(converter.getAlias(), &target, units.data() + units.size(), &source,
                       sourceLimit, nullptr, last, &status);
        units.resize(static_cast<std::size_t>(target - units.data()));
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            continue; // the rest of this piece is still to come
        }
        if (U_FAILURE(status)) {
            units.clear();
            return DecodeFailure(status);
        }
        if (last) {
            return Status::Success();
        }
    }
}

} // namespace bitexa
