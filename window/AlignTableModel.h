#pragma once

#include "align/SentenceAligner.h"

#include <QAbstractTableModel>
#include <QColor>

namespace bitexa {

// The rows of the last run as a table. The model stores no cells: it reads the two column lists
// that the run fills, and only for the cells that the table asks for, which are the ones on
// screen. The row count changes only through UpdateRowCount, after the lists are refilled.
class AlignTableModel final : public QAbstractTableModel {
public:
    enum Columns { HiddenColumn, SourceColumn, TargetColumn, ColumnCount };

    // Background of the rows: even rows white, odd rows tinted.
    static const QColor EvenRowColor;
    static const QColor OddRowColor;

    // The longest text a cell shows, in UTF-16 code units; a longer cell shows its beginning.
    static constexpr int CellTextLimit = 259;

    AlignTableModel(const ColumnList& sourceColumn, const ColumnList& targetColumn,
                    QObject* parent = nullptr);

    // Takes the larger size of the two lists as the new number of rows. The old rows go first,
    // so a run with fewer rows leaves none of the earlier ones behind.
    void UpdateRowCount();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const ColumnList& m_sourceColumn;
    const ColumnList& m_targetColumn;
    int m_rowCount = 0;
};

} // namespace bitexa
