#include "text/Utf16Converter.h"

#include "text/EncodingDetector.h"
#include "text/Utf16.h"

#include <unicode/localpointer.h>
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/utf16.h>

#include <algorithm>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

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

namespace {

// Decodes the buffer piece by piece, handing each piece's UTF-16 units to `units`.
Status Decode(const unsigned char* bytes, std::size_t size, int codePage,
              const std::function<void(std::u16string_view)>& units) {
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
    // that straddles two pieces decodes as if the buffer had been given whole. Every code page
    // here gives at most one unit per input byte, plus one for a sequence cut off at the end;
    // should a converter give more, the overflow below asks again.
    std::u16string piece(std::min(size, InputChunk) + OutputSlack, u'\0');
    const char* source = reinterpret_cast<const char*>(bytes);
    const char* const end = source + size;
    for (;;) {
        const char* const sourceLimit =
            source + std::min(static_cast<std::size_t>(end - source), InputChunk);
        const bool last = sourceLimit == end;
        UChar* target = piece.data();
        status = U_ZERO_ERROR;
        ucnv_toUnicode(converter.getAlias(), &target, piece.data() + piece.size(), &source,
                       sourceLimit, nullptr, last, &status);
        if (U_FAILURE(status) && status != U_BUFFER_OVERFLOW_ERROR) {
            return DecodeFailure(status);
        }
        units(std::u16string_view(piece.data(), static_cast<std::size_t>(target - piece.data())));
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            continue; // the rest of this piece is still to come
        }
        if (last) {
            return Status::Success();
        }
    }
}

// Widens UTF-16 units given in pieces, as WidenUtf16 widens them whole: a lead surrogate that
// ends a piece waits for the next one.
class Widener {
public:
    explicit Widener(const std::function<void(std::wstring_view)>& piece) : m_piece(piece) {}

    void Add(std::u16string_view units) {
        m_text.resize(units.size() + 1);
        wchar_t* out = m_text.data();
        std::size_t i = 0;
        if (m_lead != 0) {
            if (!units.empty() && U16_IS_TRAIL(units[0])) {
                *out++ = static_cast<wchar_t>(U16_GET_SUPPLEMENTARY(m_lead, units[0]));
                i = 1;
            } else {
                *out++ = static_cast<wchar_t>(m_lead);
            }
            m_lead = 0;
        }
        std::size_t end = units.size();
        if (end > i && U16_IS_LEAD(units[end - 1])) {
            m_lead = units[--end];
        }
        while (i < end) {
#if defined(__SSE2__) || defined(_M_X64)
            // Eight units without a surrogate among them widen as they are.
            if (i + 8 <= end) {
                const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&units[i]));
                const __m128i surrogates = _mm_cmpeq_epi16(
                    _mm_and_si128(eight, _mm_set1_epi16(static_cast<short>(0xF800))),
                    _mm_set1_epi16(static_cast<short>(0xD800)));
                if (_mm_movemask_epi8(surrogates) == 0) {
                    const __m128i zero = _mm_setzero_si128();
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                                     _mm_unpacklo_epi16(eight, zero));
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4),
                                     _mm_unpackhi_epi16(eight, zero));
                    out += 8;
                    i += 8;
                    continue;
                }
            }
#endif
            UChar32 c;
            // A lone surrogate comes out as itself, so it is kept as one unit.
            U16_NEXT(units.data(), i, end, c);
            *out++ = static_cast<wchar_t>(c);
        }
        Hand(out);
    }

    void Finish() {
        if (m_lead != 0) {
            m_text.assign(1, static_cast<wchar_t>(m_lead));
            m_lead = 0;
            Hand(m_text.data() + 1);
        }
    }

private:
    void Hand(const wchar_t* end) {
        const std::wstring_view text(m_text.data(), static_cast<std::size_t>(end - m_text.data()));
        if (!text.empty()) {
            m_piece(text);
        }
    }

    const std::function<void(std::wstring_view)>& m_piece;
    std::wstring m_text;
    char16_t m_lead = 0;
};

} // namespace

Status ConvertToUtf16(const unsigned char* bytes, std::size_t size, int codePage,
                      std::u16string& units) {
    units.clear();
    units.reserve(size + OutputSlack);
    const Status status =
        Decode(bytes, size, codePage, [&units](std::u16string_view piece) { units += piece; });
    if (!status.ok()) {
        units.clear();
    }
    return status;
}

Status ConvertToWide(const unsigned char* bytes, std::size_t size, int codePage,
                     const std::function<void(std::wstring_view)>& piece) {
    Widener widener(piece);
    const Status status = Decode(bytes, size, codePage,
                                 [&widener](std::u16string_view units) { widener.Add(units); });
    if (status.ok()) {
        widener.Finish();
    }
    return status;
}

} // namespace bitexa
