#pragma once

#include "window/AlignmentRows.h"

#include <QString>
#include <QStringList>

namespace bitexa {

// Rows written compactly: "A+B|x" is a row whose source cell holds the segments A and B and
// whose target cell holds x; "~" stands for an empty segment, an empty side for no segment.
inline Segments ParseCell(const QString& cell) {
    Segments segments;
    if (cell.isEmpty()) {
        return segments;
    }
    for (const QString& segment : cell.split(u'+')) {
        segments.push_back(segment == u"~" ? std::wstring() : segment.toStdWString());
    }
    return segments;
}

inline AlignedRows ParseRows(const QStringList& rows) {
    AlignedRows parsed;
    for (const QString& row : rows) {
        const QStringList cells = row.split(u'|');
        AlignedRow aligned;
        aligned.source = ParseCell(cells.value(0));
        aligned.target = ParseCell(cells.value(1));
        parsed.push_back(aligned);
    }
    return parsed;
}

inline QString FormatCell(const Segments& cell) {
    QStringList segments;
    for (const std::wstring& segment : cell) {
        segments.append(segment.empty() ? QStringLiteral("~") : QString::fromStdWString(segment));
    }
    return segments.join(u'+');
}

inline QStringList FormatRows(const AlignedRows& rows) {
    QStringList formatted;
    for (const AlignedRow& row : rows) {
        formatted.append(FormatCell(row.source) + u'|' + FormatCell(row.target));
    }
    return formatted;
}

} // namespace bitexa
