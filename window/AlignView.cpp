#include "window/AlignView.h"

#include "res/DialogTemplates.h"
#include "window/DialogBuilder.h"
#include "window/FrameLayout.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTableView>

namespace bitexa {

namespace {

// Initial widths of the columns in pixels; the first column holds nothing and is not seen.
constexpr int HiddenColumnWidth = 0;
constexpr int TextColumnWidth = 250;
// Each visible column is half the frame's width less this, whenever the window is resized.
constexpr int ColumnWidthMargin = 16;

} // namespace

CAlignView::CAlignView(QWidget* parent, const ColumnList& sourceColumn,
                       const ColumnList& targetColumn)
    : QDialog(parent) {
    BuildDialog(AlignViewTemplate(), *this);
    // The size given at creation reached the window before its list existed, so it never
    // passes through the layout rule: the list keeps its place and size from the template and
    // the columns their initial widths until the user resizes the window.
    setAttribute(Qt::WA_PendingResizeEvent, false);
    m_list = FindControl<QTableView>(*this, ControlIds::AlignList);
    m_model = new AlignTableModel(sourceColumn, targetColumn, this);
    OnInitDialog();
}

void CAlignView::OnInitDialog() {
    m_list->setModel(m_model);
    QHeaderView* header = m_list->horizontalHeader();
    header->setMinimumSectionSize(0);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->resizeSection(AlignTableModel::HiddenColumn, HiddenColumnWidth);
    header->resizeSection(AlignTableModel::SourceColumn, TextColumnWidth);
    header->resizeSection(AlignTableModel::TargetColumn, TextColumnWidth);
    // Full-row selection and nothing else: no grid lines, no editing, one line per row.
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(false);
    m_list->setWordWrap(false);
    m_list->setCornerButtonEnabled(false);
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 2);
}

void CAlignView::UpdateRowCount() {
    m_model->UpdateRowCount();
}

void CAlignView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    OnSize();
}

void CAlignView::OnSize() {
    if (m_list == nullptr) {
        return;
    }
    const QRect frame = FitToFrame(*this, *m_list);
    const int columnWidth = std::max(0, frame.width() / 2 - ColumnWidthMargin);
    m_list->horizontalHeader()->resizeSection(AlignTableModel::SourceColumn, columnWidth);
    m_list->horizontalHeader()->resizeSection(AlignTableModel::TargetColumn, columnWidth);
}

void CAlignView::keyPressEvent(QKeyEvent* event) {
    // Enter is the dialog's OK command; like Escape and the close box it hides the view.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        hide();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace bitexa
