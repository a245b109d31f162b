#pragma once

#include "text/SplitMode.h"

#include <string>
#include <string_view>

namespace bitexa {

// The language of a side's segments as a translation memory names it (xml:lang): "en" for the
// English rules, "ja" for the Japanese rules, and nothing for lines only, whose language the
// user must give.
std::string DefaultLanguage(SplitMode mode);

// Whether `tag` is a language tag that a translation memory can carry: well-formed BCP 47 (as
// ICU parses it, whole), and where the tag names a two-letter language or a two-letter region,
// one that ISO 639 or ISO 3166 knows ("ja", "en-GB"; not "jp", "en_US" or "en-UK").
bool IsLanguageTag(std::string_view tag);

} // namespace bitexa
