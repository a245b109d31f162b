#include "run/LanguageTag.h"

#include <unicode/uloc.h>

#include <cstring>

namespace bitexa {

namespace {

bool Listed(const char* const* list, const char* code) {
    for (; *list != nullptr; ++list) {
        if (std::strcmp(*list, code) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string DefaultLanguage(SplitMode mode) {
    switch (mode) {
    case SplitMode::English:
        return "en";
    case SplitMode::Japanese:
        return "ja";
    case SplitMode::Lines:
        break;
    }
    return {};
}

bool IsLanguageTag(std::string_view tag) {
    const std::string text(tag);
    if (text.empty() || text.find('\0') != std::string::npos) {
        return false;
    }
    char locale[ULOC_FULLNAME_CAPACITY] = {};
    int32_t parsed = 0;
    UErrorCode status = U_ZERO_ERROR;
    uloc_forLanguageTag(text.c_str(), locale, sizeof locale, &parsed, &status);
    // ICU stops at the first subtag it cannot take ("en_US" parses nothing, "en--" two bytes).
    if (U_FAILURE(status) || status == U_STRING_NOT_TERMINATED_WARNING ||
        parsed != static_cast<int32_t>(text.size())) {
        return false;
    }
    // A private-use tag ("x-…") names no language of the standards.
    if (text.size() > 2 && (text[0] == 'x' || text[0] == 'X') && text[1] == '-') {
        return true;
    }
    char language[ULOC_LANG_CAPACITY] = {};
    char region[ULOC_COUNTRY_CAPACITY] = {};
    status = U_ZERO_ERROR;
    uloc_getLanguage(locale, language, sizeof language, &status);
    uloc_getCountry(locale, region, sizeof region, &status);
    if (U_FAILURE(status)) {
        return false;
    }
    const std::size_t languageLength = std::strlen(language);
    // Four letters are reserved, and no language of five to eight letters has been registered.
    if (languageLength < 2 || languageLength > 3) {
        return false;
    }
    if (languageLength == 2 && !Listed(uloc_getISOLanguages(), language)) {
        return false;
    }
    if (std::strlen(region) == 2 && !Listed(uloc_getISOCountries(), region)) {
        return false;
    }
    return true;
}

} // namespace bitexa
