#pragma once

#include "window/AlignTableModel.h"
#include "window/AlignmentRows.h"

#include <QDialog>

#include <cstddef>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QTableView;

namespace bitexa {

// The window that shows the rows of a run in two columns, "Source" and "Target", numbered, with
// the rows worth a second look tinted, and lets the user correct them. Created at the first
// run, it lives as long as the main dialog, beside it: closing it only hides it, and the next
// run shows it again with the new rows.
class CAlignView : public QDialog {
    Q_OBJECT

public:
    // The view's commands, each an action with its keys, in the context menu in this order.
    enum class Command {
        Undo,
        Redo,
        Merge,
        Split,
        MoveUp,
        MoveDown,
        Edit,
        InsertRow,
        DeleteRow,
        Copy,
        NextDoubt,
        PreviousDoubt,
    };

    explicit CAlignView(QWidget* parent);

    // The rows of a new run, shown from the top with both columns fitting the window. The
    // segment counts are the run's, for the status line.
    void ShowRows(AlignedRows rows, Joiners joiners, std::size_t sourceSegments,
                  std::size_t targetSegments);
    // No correction while a run is going on: its rows are about to replace these.
    void SetReadOnly(bool readOnly);
    // Whether rows were corrected since the run or the last save.
    bool HasUnsavedCorrections() const;
    void MarkSaved();
    // Shows the view; the first time, beside `owner` and clear of it.
    void ShowBeside(const QWidget& owner);

    QTableView* List() const { return m_list; }
    AlignTableModel* Model() const { return m_model; }
    QLabel* StatusLine() const { return m_status; }
    // Notes of the run the rows come from (a model that went without its dictionary, say),
    // shown after the counts in the status line; none after a run that needed none.
    void SetNotes(const QStringList& notes);
    QAction* Action(Command command) const;
    // The context menu of the current cell, as a right click opens it.
    std::unique_ptr<QMenu> ContextMenu();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void OnInitDialog();
    void CreateActions();
    void OnSize();
    void FitColumns();
    void UpdateStatus();
    void UpdateActions();
    void OnFocusRequested(int row, int column);

    // The cell the commands work on: the current one (its side), or none.
    std::optional<std::pair<int, Side>> CurrentCell() const;
    void Correct(Command command, const std::optional<RowChange>& change);
    void SplitAt(int boundary);
    void EditCurrentCell();
    void CopyRows();
    void GoToDoubtfulRow(bool forward);

    AlignTableModel* m_model = nullptr;
    QTableView* m_list = nullptr;
    QLabel* m_status = nullptr;
    QStringList m_notes;
    std::vector<QAction*> m_actions;
    std::size_t m_sourceSegments = 0;
    std::size_t m_targetSegments = 0;
    bool m_placed = false;
};

} // namespace bitexa
