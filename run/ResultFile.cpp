#include "run/ResultFile.h"

#include "run/FileWriter.h"
#include "text/Utf16.h"

#include <algorithm>
#include <string_view>

namespace bitexa {

bool WriteResultBytes(ByteSink& sink, const std::wstring& text) {
    // The byte-order mark, then every code unit low byte first, in blocks so a long text is not
    // held twice in memory.
    constexpr std::size_t blockChars = 32 * 1024;
    std::string bytes("\xFF\xFE", 2);
    for (std::size_t start = 0;; start += blockChars) {
        if (start < text.size()) {
            const std::wstring_view block =
                std::wstring_view(text).substr(start, std::min(blockChars, text.size() - start));
            for (char16_t unit : NarrowToUtf16(block)) {
                bytes.push_back(static_cast<char>(unit & 0xFF));
                bytes.push_back(static_cast<char>(unit >> 8));
            }
        }
        if (!sink.Write(bytes)) {
            return false;
        }
        bytes.clear();
        if (start + blockChars >= text.size()) {
            return true;
        }
    }
}

Status WriteResultFile(const std::wstring& path, const std::wstring& text) {
    return WriteFile(path, [&text](ByteSink& sink) { return WriteResultBytes(sink, text); });
}

std::wstring SaveFailedMessage(const std::wstring& path, const std::wstring& reason) {
    return path + L" に保存できませんでした。\n" + reason;
}

} // namespace bitexa
