#include "text/rules/LineFeedInsertion.h"

namespace bitexa {

void InsertLineFeeds(std::wstring& text, const std::vector<std::size_t>& positions) {
    const std::size_t added = positions.size();
    if (added == 0) {
        return;
    }
    const std::size_t oldSize = text.size();
    const std::size_t newSize = oldSize + added;
    if (newSize > text.capacity()) {
        std::wstring grown;
        grown.reserve(newSize + newSize / 8);
        std::size_t from = 0;
        for (const std::size_t position : positions) {
            grown.append(text, from, position - from);
            grown.push_back(L'\n');
            from = position;
        }
        grown.append(text, from, std::wstring::npos);
        text.swap(grown);
        return;
    }
    // From the right: each stretch moves by the number of line feeds in front of it, which is
    // never more than the room freed behind it.
    text.resize(newSize);
    wchar_t* const data = text.data();
    std::size_t end = oldSize;
    std::size_t shift = added;
    for (std::size_t i = added; i-- > 0;) {
        const std::size_t position = positions[i];
        std::char_traits<wchar_t>::move(data + position + shift, data + position, end - position);
        --shift;
        data[position + shift] = L'\n';
        end = position;
    }
}

} // namespace bitexa
