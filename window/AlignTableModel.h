#pragma once

#include "window/AlignmentRows.h"
#include "window/RowCorrections.h"

#include <QAbstractTableModel>
#include <QColor>

#include <optional>

class QUndoStack;

namespace bitexa {

// The rows of the last run as a table the user can correct. The model keeps the rows with the
// segments of each cell; every correction goes through its undo stack as a change of rows.
// Only the cells the table asks for, the ones on screen, are ever turned into text.
class AlignTableModel final : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Columns { HiddenColumn, SourceColumn, TargetColumn, ColumnCount };

    // Background of ordinary rows: even rows white, odd rows tinted.
    static const QColor EvenRowColor;
    static const QColor OddRowColor;
    // Background of the rows worth a second look, by the reason (see DoubtOf).
    static const QColor OneSidedRowColor;
    static const QColor UnevenRowColor;
    static const QColor CostlyRowColor;

    // The longest text a cell shows, in UTF-16 code units; a longer cell shows its beginning.
    static constexpr int CellTextLimit = 259;

    explicit AlignTableModel(QObject* parent = nullptr);

    // The rows of a new run. The corrections of the rows before are dropped with them.
    void SetRows(AlignedRows rows, Joiners joiners);
    const AlignedRows& Rows() const { return m_rows; }
    // One column's cells as the table shows them, whole, as Save writes them.
    ColumnList Column(Side side) const;

    QUndoStack* UndoStack() const { return m_undoStack; }
    // Makes the correction through the undo stack under the given name; false when there is
    // none to make or the rows are read-only.
    bool Correct(const std::optional<RowChange>& change, const QString& name);
    // While read-only (a run is going on) no cell can be edited and no correction made.
    void SetReadOnly(bool readOnly);
    bool IsReadOnly() const { return m_readOnly; }

    // For the undo commands: rows [first, first + removed) become `inserted`.
    void ReplaceRows(int first, int removed, const AlignedRows& inserted);

    int DoubtfulRowCount() const;
    // The nearest doubtful row after `row` (or before it, backwards); -1 when there is none.
    int NextDoubtfulRow(int row, bool forward) const;

    static std::optional<Side> SideOfColumn(int column);
    static int ColumnOfSide(Side side);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // An edit of a cell is a correction like the others: it goes through the undo stack.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // A correction, its undo or its redo leaves the user on this cell.
    void FocusRequested(int row, int column);

private:
    QVariant Background(const AlignedRow& row, int index) const;
    QString ToolTip(const AlignedRow& row) const;

    AlignedRows m_rows;
    Joiners m_joiners;
    QUndoStack* m_undoStack = nullptr;
    bool m_readOnly = false;
};

} // namespace bitexa
