#include "window/QtText.h"

#include "text/Utf16.h"

namespace bitexa {

QString ToQString(const std::wstring& text) {
    return ToQString(NarrowToUtf16(text));
}

QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

std::wstring FromQString(const QString& text) {
    return WidenUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                          static_cast<std::size_t>(text.size())));
}

} // namespace bitexa
