#include "run/CellText.h"
#include "run/Export.h"
#include "text/Utf16.h"

namespace bitexa {

namespace {

// A tab or a line break inside a cell would cut the row; it stands as one blank instead, as in
// the result file.
void AppendTsvCell(std::string& bytes, std::wstring cell) {
    for (wchar_t& c : cell) {
        if (c == L'\t' || c == L'\n' || c == L'\r') {
            c = L' ';
        }
    }
    bytes += ToUtf8(cell);
}

} // namespace

bool WriteTsv(ByteSink& sink, const ExportRows& rows, ExportCounts& counts) {
    counts = {};
    constexpr std::size_t flushBytes = 64 * 1024;
    const std::size_t rowCount = rows.sourceColumn.size();
    std::string bytes;
    for (std::size_t row = 0; row < rowCount; ++row) {
        const RowInfo info = InfoOfRow(rows.rowInfo, rowCount, row);
        AppendTsvCell(bytes,
                      ExportCellText(rows.sourceColumn[row], info.sourceJoin, rows.sourceMode));
        bytes += '\t';
        AppendTsvCell(bytes,
                      ExportCellText(rows.targetColumn[row], info.targetJoin, rows.targetMode));
        bytes += '\n';
        ++counts.rowsWritten;
        if (bytes.size() >= flushBytes) {
            if (!sink.Write(bytes)) {
                return false;
            }
            bytes.clear();
        }
    }
    return sink.Write(bytes);
}

} // namespace bitexa
