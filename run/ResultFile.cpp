#include "run/ResultFile.h"

#include "run/FileWriter.h"
#include "text/Utf16.h"

#include <algorithm>
#include <string_view>

namespace bitexa {

namespace {

// The file's bytes gathered in blocks, so a long result is never held twice in memory: the
// byte-order mark, then every code unit low byte first.
class Utf16LeWriter {
public:
    explicit Utf16LeWriter(ByteSink& sink) : m_sink(sink), m_bytes("\xFF\xFE", 2) {}

    bool Put(std::wstring_view text) {
        AppendUtf16Le(m_bytes, text);
        return m_bytes.size() < BlockBytes || Flush();
    }

    bool Flush() {
        const bool written = m_sink.Write(m_bytes);
        m_bytes.clear();
        return written;
    }

private:
    static constexpr std::size_t BlockBytes = 64 * 1024;
    ByteSink& m_sink;
    std::string m_bytes;
};

} // namespace

Status WriteResultFile(const std::wstring& path, const std::wstring& text) {
    return WriteFile(path, ResultFileContent(text));
}

FileContent ResultFileContent(const std::wstring& text) {
    return [&text](ByteSink& sink) { return WriteResultBytes(sink, text); };
}

bool WriteResultBytes(ByteSink& sink, const std::wstring& text) {
    constexpr std::size_t blockChars = 32 * 1024;
    Utf16LeWriter writer(sink);
    for (std::size_t start = 0; start < text.size(); start += blockChars) {
        if (!writer.Put(std::wstring_view(text).substr(start, blockChars))) {
            return false;
        }
    }
    return writer.Flush();
}

Status WriteResultRows(const std::wstring& path, const ColumnList& sourceColumn,
                       const ColumnList& targetColumn) {
    return WriteFile(path, [&](ByteSink& sink) {
        Utf16LeWriter writer(sink);
        const std::size_t rows = std::max(sourceColumn.size(), targetColumn.size());
        const std::wstring none;
        std::wstring line;
        for (std::size_t row = 0; row < rows; ++row) {
            line.clear();
            AppendRow(line, row < sourceColumn.size() ? sourceColumn[row] : none,
                      row < targetColumn.size() ? targetColumn[row] : none);
            if (!writer.Put(line)) {
                return false;
            }
        }
        return writer.Flush();
    });
}

std::wstring SaveFailedMessage(const std::wstring& path, const std::wstring& reason) {
    return path + L" に保存できませんでした。\n" + reason;
}

} // namespace bitexa
