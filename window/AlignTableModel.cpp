#include "window/AlignTableModel.h"

#include "res/Strings.h"
#include "window/QtText.h"

#include <algorithm>

namespace bitexa {

const QColor AlignTableModel::EvenRowColor(255, 255, 255);
const QColor AlignTableModel::OddRowColor(202, 221, 230);

namespace {

QString CellText(const ColumnList& column, int row) {
    const auto index = static_cast<std::size_t>(row);
    // Both lists always have as many rows as the table; should one fall short, its cell is
    // empty rather than a read past its end.
    if (index >= column.size()) {
        return QString();
    }
    QString text = ToQString(column[index]);
    if (text.size() > AlignTableModel::CellTextLimit) {
        text.truncate(AlignTableModel::CellTextLimit);
        if (text.back().isHighSurrogate()) {
            text.chop(1);
        }
    }
    return text;
}

} // namespace

AlignTableModel::AlignTableModel(const ColumnList& sourceColumn, const ColumnList& targetColumn,
                                 QObject* parent)
    : QAbstractTableModel(parent), m_sourceColumn(sourceColumn), m_targetColumn(targetColumn) {}

void AlignTableModel::UpdateRowCount() {
    beginResetModel();
    m_rowCount = static_cast<int>(std::max(m_sourceColumn.size(), m_targetColumn.size()));
    endResetModel();
}

int AlignTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rowCount;
}

int AlignTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AlignTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return QVariant();
    }
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == SourceColumn) {
            return CellText(m_sourceColumn, index.row());
        }
        if (index.column() == TargetColumn) {
            return CellText(m_targetColumn, index.row());
        }
        return QVariant();
    case Qt::BackgroundRole:
        return index.row() % 2 == 0 ? EvenRowColor : OddRowColor;
    default:
        return QVariant();
    }
}

QVariant AlignTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= ColumnCount) {
        return QVariant();
    }
    return ToQString(AlignColumnHeadings[static_cast<std::size_t>(section)]);
}

} // namespace bitexa
