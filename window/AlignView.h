#pragma once

#include "align/SentenceAligner.h"
#include "window/AlignTableModel.h"

#include <QDialog>

class QTableView;

namespace bitexa {

// The window that shows the rows of a run in two columns, "Source" and "Target". Created at the
// first run, it lives as long as the main dialog: closing it only hides it, and the next run
// shows it again with the new rows.
class CAlignView : public QDialog {
    Q_OBJECT

public:
    // The two lists are the run's column lists; they must outlive the view.
    CAlignView(QWidget* parent, const ColumnList& sourceColumn, const ColumnList& targetColumn);

    // Shows the new rows after the lists have been refilled.
    void UpdateRowCount();

    QTableView* List() const { return m_list; }
    AlignTableModel* Model() const { return m_model; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnInitDialog();
    void OnSize();

    AlignTableModel* m_model = nullptr;
    QTableView* m_list = nullptr;
};

} // namespace bitexa
