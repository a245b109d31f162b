#include "window/AlignTableModel.h"

#include "res/Strings.h"
#include "window/QtText.h"
#include "window/RowChangeCommand.h"

#include <QUndoStack>

#include <algorithm>

namespace bitexa {

const QColor AlignTableModel::EvenRowColor(255, 255, 255);
const QColor AlignTableModel::OddRowColor(202, 221, 230);
const QColor AlignTableModel::OneSidedRowColor(255, 196, 196);
const QColor AlignTableModel::UnevenRowColor(255, 233, 160);
const QColor AlignTableModel::CostlyRowColor(236, 206, 255);

namespace {

QString ShownText(const std::wstring& cell) {
    QString text = ToQString(cell);
    if (text.size() > AlignTableModel::CellTextLimit) {
        text.truncate(AlignTableModel::CellTextLimit);
        if (text.back().isHighSurrogate()) {
            text.chop(1);
        }
    }
    return text;
}

// A cell holds no line break: the result file has one row per line.
std::wstring OneLine(const QString& text) {
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return FromQString(line);
}

} // namespace

AlignTableModel::AlignTableModel(QObject* parent)
    : QAbstractTableModel(parent), m_undoStack(new QUndoStack(this)) {}

void AlignTableModel::SetRows(AlignedRows rows, Joiners joiners) {
    beginResetModel();
    m_undoStack->clear();
    m_rows = std::move(rows);
    m_joiners = std::move(joiners);
    endResetModel();
}

ColumnList AlignTableModel::Column(Side side) const {
    return ColumnOf(m_rows, side, m_joiners.Of(side));
}

bool AlignTableModel::Correct(const std::optional<RowChange>& change, const QString& name) {
    if (!change || m_readOnly) {
        return false;
    }
    m_undoStack->push(new RowChangeCommand(*this, *change, name));
    return true;
}

void AlignTableModel::SetReadOnly(bool readOnly) {
    m_readOnly = readOnly;
}

void AlignTableModel::ReplaceRows(int first, int removed, const AlignedRows& inserted) {
    const int replaced = std::min(removed, static_cast<int>(inserted.size()));
    const auto at = [this](int row) { return m_rows.begin() + row; };
    std::copy(inserted.begin(), inserted.begin() + replaced, at(first));
    if (replaced > 0) {
        emit dataChanged(index(first, 0), index(first + replaced - 1, ColumnCount - 1));
    }
    if (removed > replaced) {
        beginRemoveRows(QModelIndex(), first + replaced, first + removed - 1);
        m_rows.erase(at(first + replaced), at(first + removed));
        endRemoveRows();
    } else if (static_cast<int>(inserted.size()) > replaced) {
        beginInsertRows(QModelIndex(), first + replaced,
                        first + static_cast<int>(inserted.size()) - 1);
        m_rows.insert(at(first + replaced), inserted.begin() + replaced, inserted.end());
        endInsertRows();
    }
}

int AlignTableModel::DoubtfulRowCount() const {
    return static_cast<int>(std::count_if(m_rows.begin(), m_rows.end(), [](const AlignedRow& row) {
        return DoubtOf(row) != Doubt::None;
    }));
}

int AlignTableModel::NextDoubtfulRow(int row, bool forward) const {
    const int count = rowCount();
    for (int k = forward ? row + 1 : row - 1; k >= 0 && k < count; k += forward ? 1 : -1) {
        if (DoubtOf(m_rows[static_cast<std::size_t>(k)]) != Doubt::None) {
            return k;
        }
    }
    return -1;
}

std::optional<Side> AlignTableModel::SideOfColumn(int column) {
    if (column == SourceColumn) {
        return Side::Source;
    }
    if (column == TargetColumn) {
        return Side::Target;
    }
    return std::nullopt;
}

int AlignTableModel::ColumnOfSide(Side side) {
    return side == Side::Source ? SourceColumn : TargetColumn;
}

int AlignTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int AlignTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AlignTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return QVariant();
    }
    const AlignedRow& row = m_rows[static_cast<std::size_t>(index.row())];
    const std::optional<Side> side = SideOfColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return side ? ShownText(CellText(row.Cell(*side), m_joiners.Of(*side))) : QVariant();
    case Qt::EditRole:
        return side ? ToQString(CellText(row.Cell(*side), m_joiners.Of(*side))) : QVariant();
    case Qt::BackgroundRole:
        return Background(row, index.row());
    case Qt::ToolTipRole:
        return ToolTip(row);
    default:
        return QVariant();
    }
}

QVariant AlignTableModel::Background(const AlignedRow& row, int index) const {
    switch (DoubtOf(row)) {
    case Doubt::OneSided:
        return OneSidedRowColor;
    case Doubt::Uneven:
        return UnevenRowColor;
    case Doubt::Costly:
        return CostlyRowColor;
    case Doubt::None:
        break;
    }
    return index % 2 == 0 ? EvenRowColor : OddRowColor;
}

QString AlignTableModel::ToolTip(const AlignedRow& row) const {
    if (row.corrected) {
        return ToQString(CorrectedRowTip);
    }
    const auto kind = static_cast<std::size_t>(row.info.kind);
    const bool blankLines = row.info.kind != RowKind::Anchor &&
                            (SolidSegments(row.source).size() != row.source.size() ||
                             SolidSegments(row.target).size() != row.target.size());
    return ToQString(blankLines ? RowWithBlankLinesTip : RowTip)
        .arg(ToQString(RowKindNames.at(kind)))
        .arg(row.info.cost);
}

QVariant AlignTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) {
        return QVariant();
    }
    if (orientation == Qt::Vertical) {
        // Rows are numbered from 1, as a user counts them.
        return section < rowCount() ? QVariant(section + 1) : QVariant();
    }
    if (section >= ColumnCount) {
        return QVariant();
    }
    return ToQString(AlignColumnHeadings[static_cast<std::size_t>(section)]);
}

Qt::ItemFlags AlignTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && SideOfColumn(index.column()) && !m_readOnly) {
        flags |= Qt::ItemIsEditable;
    }
    return flags;
}

bool AlignTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const std::optional<Side> side = SideOfColumn(index.column());
    if (role != Qt::EditRole || !side ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return false;
    }
    const auto change =
        EditCell(m_rows, index.row(), *side, OneLine(value.toString()), m_joiners.Of(*side));
    // An edit that changes nothing is still an edit the model took.
    return !change || Correct(change, ToQString(EditCommand).remove(QLatin1Char('&')));
}

} // namespace bitexa
