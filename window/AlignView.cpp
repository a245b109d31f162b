#include "window/AlignView.h"

#include "res/DialogTemplates.h"
#include "res/Strings.h"
#include "window/CompanionPlacement.h"
#include "window/DialogBuilder.h"
#include "window/FrameLayout.h"
#include "window/QtText.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QUndoStack>
#include <QWindowStateChangeEvent>

#include <algorithm>
#include <array>

namespace bitexa {

namespace {

// How many characters of a segment its entry in the split menu shows.
constexpr int SplitEntryLength = 40;

struct CommandEntry {
    CAlignView::Command command;
    std::u16string_view text;
    QList<QKeySequence> keys;
};

const std::array<CommandEntry, 12>& CommandEntries() {
    using C = CAlignView::Command;
    static const std::array<CommandEntry, 12> entries{{
        {C::Undo, UndoCommand, {QKeySequence(Qt::CTRL | Qt::Key_Z)}},
        {C::Redo,
         RedoCommand,
         {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}},
        {C::Merge, MergeCommand, {QKeySequence(Qt::CTRL | Qt::Key_M)}},
        {C::Split, SplitCommand, {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M)}},
        {C::MoveUp, MoveUpCommand, {QKeySequence(Qt::ALT | Qt::Key_Up)}},
        {C::MoveDown, MoveDownCommand, {QKeySequence(Qt::ALT | Qt::Key_Down)}},
        {C::Edit, EditCommand, {QKeySequence(Qt::Key_F2)}},
        {C::InsertRow, InsertRowCommand, {QKeySequence(Qt::Key_Insert)}},
        {C::DeleteRow, DeleteRowCommand, {QKeySequence(Qt::Key_Delete)}},
        {C::Copy, CopyCommand, {QKeySequence(Qt::CTRL | Qt::Key_C)}},
        {C::NextDoubt, NextDoubtCommand, {QKeySequence(Qt::Key_F8)}},
        {C::PreviousDoubt, PreviousDoubtCommand, {QKeySequence(Qt::SHIFT | Qt::Key_F8)}},
    }};
    return entries;
}

// A command's name without its access key, as the undo stack shows it.
QString PlainName(std::u16string_view text) {
    return ToQString(text).remove(QLatin1Char('&'));
}

} // namespace

CAlignView::CAlignView(QWidget* parent) : QDialog(parent) {
    BuildDialog(AlignViewTemplate(), *this);
    m_list = FindControl<QTableView>(*this, ControlIds::AlignList);
    m_model = new AlignTableModel(this);
    m_status = new QLabel(this);
    m_status->setTextFormat(Qt::PlainText);
    OnInitDialog();
    CreateActions();
    UpdateStatus();
    OnSize();
}

void CAlignView::OnInitDialog() {
    m_list->setModel(m_model);
    QHeaderView* header = m_list->horizontalHeader();
    header->setMinimumSectionSize(0);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    // The first column holds nothing; hidden, it is never reached by the keys either.
    m_list->setColumnHidden(AlignTableModel::HiddenColumn, true);
    // Full-row selection, no grid lines, one line per row; the rows are numbered.
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    m_list->setShowGrid(false);
    m_list->setWordWrap(false);
    m_list->setCornerButtonEnabled(false);
    m_list->verticalHeader()->show();
    m_list->verticalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 2);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint& where) {
        const std::unique_ptr<QMenu> menu = ContextMenu();
        menu->exec(m_list->viewport()->mapToGlobal(where));
    });

    connect(m_model, &AlignTableModel::FocusRequested, this, &CAlignView::OnFocusRequested);
    const auto refresh = [this] {
        UpdateStatus();
        UpdateActions();
    };
    connect(m_model, &QAbstractItemModel::modelReset, this, refresh);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, refresh);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, refresh);
    connect(m_model, &QAbstractItemModel::dataChanged, this, refresh);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &CAlignView::UpdateActions);
}

void CAlignView::CreateActions() {
    QUndoStack* stack = m_model->UndoStack();
    for (const CommandEntry& entry : CommandEntries()) {
        QAction* action = nullptr;
        if (entry.command == Command::Undo) {
            action = stack->createUndoAction(this, PlainName(entry.text));
        } else if (entry.command == Command::Redo) {
            action = stack->createRedoAction(this, PlainName(entry.text));
        } else {
            action = new QAction(ToQString(entry.text), this);
        }
        action->setShortcuts(entry.keys);
        // The keys work wherever the focus is in the view, and only there.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        m_actions.push_back(action);
    }
    const auto on = [this](Command command, auto&& handler) {
        connect(Action(command), &QAction::triggered, this, handler);
    };
    const auto rows = [this]() -> const AlignedRows& { return m_model->Rows(); };
    on(Command::Merge, [this, rows] {
        if (const auto cell = CurrentCell()) {
            Correct(Command::Merge, MergeIntoNext(rows(), cell->first, cell->second));
        }
    });
    on(Command::Split, [this] {
        if (const auto cell = CurrentCell()) {
            const auto& row = m_model->Rows()[static_cast<std::size_t>(cell->first)];
            SplitAt(static_cast<int>(SolidSegments(row.Cell(cell->second)).size()) - 1);
        }
    });
    on(Command::MoveUp, [this, rows] {
        if (const auto cell = CurrentCell()) {
            Correct(Command::MoveUp, MoveFirstSegmentUp(rows(), cell->first, cell->second));
        }
    });
    on(Command::MoveDown, [this, rows] {
        if (const auto cell = CurrentCell()) {
            Correct(Command::MoveDown, MoveLastSegmentDown(rows(), cell->first, cell->second));
        }
    });
    on(Command::InsertRow, [this, rows] {
        const auto cell = CurrentCell();
        Correct(Command::InsertRow, InsertEmptyRow(rows(), cell ? cell->first : 0));
    });
    on(Command::DeleteRow, [this, rows] {
        if (const auto cell = CurrentCell()) {
            Correct(Command::DeleteRow, DeleteEmptyRow(rows(), cell->first));
        }
    });
    on(Command::Edit, [this] { EditCurrentCell(); });
    on(Command::Copy, [this] { CopyRows(); });
    on(Command::NextDoubt, [this] { GoToDoubtfulRow(true); });
    on(Command::PreviousDoubt, [this] { GoToDoubtfulRow(false); });
    UpdateActions();
}

QAction* CAlignView::Action(Command command) const {
    return m_actions.at(static_cast<std::size_t>(command));
}

std::optional<std::pair<int, Side>> CAlignView::CurrentCell() const {
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid()) {
        return std::nullopt;
    }
    const std::optional<Side> side = AlignTableModel::SideOfColumn(current.column());
    return std::pair{current.row(), side.value_or(Side::Source)};
}

void CAlignView::Correct(Command command, const std::optional<RowChange>& change) {
    // A key of the view reaches it while a cell is being edited; the edit comes first.
    const QWidget* focus = QApplication::focusWidget();
    if (focus != nullptr && focus != m_list && m_list->isAncestorOf(focus)) {
        return;
    }
    const auto& entry = CommandEntries().at(static_cast<std::size_t>(command));
    m_model->Correct(change, PlainName(entry.text));
}

void CAlignView::SplitAt(int boundary) {
    if (const auto cell = CurrentCell()) {
        Correct(Command::Split, SplitRow(m_model->Rows(), cell->first, cell->second, boundary));
    }
}

void CAlignView::EditCurrentCell() {
    const auto cell = CurrentCell();
    if (cell && !m_model->IsReadOnly()) {
        m_list->edit(m_model->index(cell->first, AlignTableModel::ColumnOfSide(cell->second)));
    }
}

void CAlignView::CopyRows() {
    QList<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) {
        rows.append(index.row());
    }
    if (rows.isEmpty() && m_list->currentIndex().isValid()) {
        rows.append(m_list->currentIndex().row());
    }
    std::sort(rows.begin(), rows.end());
    QString text;
    for (const int row : rows) {
        text += m_model->index(row, AlignTableModel::SourceColumn).data(Qt::EditRole).toString();
        text += QLatin1Char('\t');
        text += m_model->index(row, AlignTableModel::TargetColumn).data(Qt::EditRole).toString();
        text += QLatin1Char('\n');
    }
    if (!text.isEmpty()) {
        QGuiApplication::clipboard()->setText(text);
    }
}

void CAlignView::GoToDoubtfulRow(bool forward) {
    const QModelIndex current = m_list->currentIndex();
    const int from = current.isValid() ? current.row() : (forward ? -1 : m_model->rowCount());
    const int row = m_model->NextDoubtfulRow(from, forward);
    if (row >= 0) {
        const int column = current.isValid() && current.column() != AlignTableModel::HiddenColumn
                               ? current.column()
                               : int(AlignTableModel::SourceColumn);
        OnFocusRequested(row, column);
    }
}

void CAlignView::OnFocusRequested(int row, int column) {
    if (m_model->rowCount() == 0) {
        return;
    }
    const QModelIndex index = m_model->index(std::clamp(row, 0, m_model->rowCount() - 1), column);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                         QItemSelectionModel::Rows);
    m_list->scrollTo(index);
}

std::unique_ptr<QMenu> CAlignView::ContextMenu() {
    UpdateActions();
    auto menu = std::make_unique<QMenu>(this);
    const auto add = [&](Command command) { menu->addAction(Action(command)); };
    add(Command::Undo);
    add(Command::Redo);
    menu->addSeparator();
    add(Command::Merge);
    add(Command::Split);
    // A cell of more than two segments can be split at any of its boundaries.
    if (const auto cell = CurrentCell(); cell && !m_model->IsReadOnly()) {
        const auto& row = m_model->Rows()[static_cast<std::size_t>(cell->first)];
        const Segments segments = SolidSegments(row.Cell(cell->second));
        if (segments.size() > 2) {
            QMenu* splitAt = menu->addMenu(ToQString(SplitAtCommand));
            for (std::size_t k = 1; k < segments.size(); ++k) {
                QString start = ToQString(segments[k]);
                if (start.size() > SplitEntryLength) {
                    start = start.left(SplitEntryLength) + QChar(0x2026);
                }
                const int boundary = static_cast<int>(k);
                splitAt->addAction(ToQString(SplitAtEntry).arg(boundary + 1).arg(start), this,
                                   [this, boundary] { SplitAt(boundary); });
            }
        }
    }
    add(Command::MoveUp);
    add(Command::MoveDown);
    menu->addSeparator();
    add(Command::Edit);
    add(Command::InsertRow);
    add(Command::DeleteRow);
    menu->addSeparator();
    add(Command::Copy);
    menu->addSeparator();
    add(Command::NextDoubt);
    add(Command::PreviousDoubt);
    return menu;
}

void CAlignView::UpdateActions() {
    if (m_actions.empty()) {
        return;
    }
    const AlignedRows& rows = m_model->Rows();
    const auto cell = CurrentCell();
    const bool editable = !m_model->IsReadOnly();
    const auto possible = [&](auto&& correction) { return editable && cell && correction(*cell); };
    using Cell = std::pair<int, Side>;
    Action(Command::Merge)->setEnabled(possible([&](const Cell& c) {
        return MergeIntoNext(rows, c.first, c.second).has_value();
    }));
    Action(Command::Split)->setEnabled(possible([&](const Cell& c) {
        return SolidSegments(rows[static_cast<std::size_t>(c.first)].Cell(c.second)).size() > 1;
    }));
    Action(Command::MoveUp)->setEnabled(possible([&](const Cell& c) {
        return MoveFirstSegmentUp(rows, c.first, c.second).has_value();
    }));
    Action(Command::MoveDown)->setEnabled(possible([&](const Cell& c) {
        return MoveLastSegmentDown(rows, c.first, c.second).has_value();
    }));
    Action(Command::Edit)->setEnabled(possible([](const Cell&) { return true; }));
    Action(Command::InsertRow)->setEnabled(editable);
    Action(Command::DeleteRow)->setEnabled(possible([&](const Cell& c) {
        return DeleteEmptyRow(rows, c.first).has_value();
    }));
    Action(Command::Copy)->setEnabled(!rows.empty());
    Action(Command::NextDoubt)->setEnabled(!rows.empty());
    Action(Command::PreviousDoubt)->setEnabled(!rows.empty());
}

void CAlignView::ShowRows(AlignedRows rows, Joiners joiners, std::size_t sourceSegments,
                          std::size_t targetSegments) {
    m_sourceSegments = sourceSegments;
    m_targetSegments = targetSegments;
    m_model->SetRows(std::move(rows), std::move(joiners));
    // A new run starts at its first row, with nothing selected.
    m_list->scrollToTop();
    if (m_model->rowCount() > 0) {
        m_list->selectionModel()->setCurrentIndex(m_model->index(0, AlignTableModel::SourceColumn),
                                                  QItemSelectionModel::Clear);
    }
    FitColumns();
    UpdateStatus();
    UpdateActions();
}

void CAlignView::SetReadOnly(bool readOnly) {
    // A cell being edited was taken in when the user went to the main dialog to start the run.
    m_model->SetReadOnly(readOnly);
    // Undo and redo follow the stack's own state; only while read-only are they held off.
    const QUndoStack* stack = m_model->UndoStack();
    Action(Command::Undo)->setEnabled(!readOnly && stack->canUndo());
    Action(Command::Redo)->setEnabled(!readOnly && stack->canRedo());
    UpdateActions();
}

bool CAlignView::HasUnsavedCorrections() const {
    return !m_model->UndoStack()->isClean();
}

void CAlignView::MarkSaved() {
    m_model->UndoStack()->setClean();
}

void CAlignView::ShowBeside(const QWidget& owner) {
    if (!m_placed && owner.isVisible()) {
        // The view's frame is not known before it is first shown: it is taken to be the
        // owner's, drawn by the same window manager.
        const QMargins frame(owner.geometry().left() - owner.frameGeometry().left(),
                             owner.geometry().top() - owner.frameGeometry().top(),
                             owner.frameGeometry().right() - owner.geometry().right(),
                             owner.frameGeometry().bottom() - owner.geometry().bottom());
        const QSize frameSize = size().grownBy(frame);
        const QScreen* screen = owner.screen();
        const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
        move(PlaceBeside(owner.frameGeometry(), frameSize, area).topLeft());
        m_placed = true;
    }
    show();
}

void CAlignView::SetNotes(const QStringList& notes) {
    m_notes = notes;
    UpdateStatus();
}

void CAlignView::UpdateStatus() {
    QString status = ToQString(AlignStatus)
                         .arg(m_sourceSegments)
                         .arg(m_targetSegments)
                         .arg(m_model->rowCount())
                         .arg(m_model->DoubtfulRowCount());
    for (const QString& note : m_notes) {
        status += QStringLiteral("   ") + note;
    }
    m_status->setText(status);
    m_status->setToolTip(m_notes.join(QLatin1Char('\n')));
}

void CAlignView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    OnSize();
}

void CAlignView::OnSize() {
    if (m_list == nullptr || m_status == nullptr) {
        return;
    }
    // The list fills the window to a few pixels short of the frame's right edge, down to the
    // status line at the bottom.
    const QRect frame = FrameInClientCoordinates(*this);
    const QRect placed = m_list->geometry();
    const int right = frame.x() + frame.width() - FrameInset;
    const int statusHeight = m_status->sizeHint().height();
    const int statusTop =
        std::min(frame.y() + frame.height() - FrameInset, height()) - statusHeight;
    m_list->setGeometry(placed.x(), placed.y(), std::max(0, right - placed.x()),
                        std::max(0, statusTop - placed.y()));
    m_status->setGeometry(placed.x() + FrameInset, statusTop,
                          std::max(0, right - placed.x() - FrameInset), statusHeight);
    FitColumns();
}

void CAlignView::FitColumns() {
    // Both columns share the width that the row numbers and the scroll bar leave.
    const QHeaderView* numbers = m_list->verticalHeader();
    const int numbersWidth = numbers->isHidden() ? 0 : numbers->sizeHint().width();
    const int scrollBar = m_list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_list);
    const int available = m_list->width() - 2 * m_list->frameWidth() - numbersWidth - scrollBar;
    const int columnWidth = std::max(0, available / 2);
    m_list->horizontalHeader()->resizeSection(AlignTableModel::SourceColumn, columnWidth);
    m_list->horizontalHeader()->resizeSection(AlignTableModel::TargetColumn, columnWidth);
}

void CAlignView::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Minimised and restored together with the main dialog.
    QWidget* owner = parentWidget();
    if (event->type() != QEvent::WindowStateChange || owner == nullptr) {
        return;
    }
    if (isMinimized() && !owner->isMinimized()) {
        owner->setWindowState(owner->windowState() | Qt::WindowMinimized);
    } else if (!isMinimized() && owner->isMinimized()) {
        owner->setWindowState(owner->windowState() & ~Qt::WindowMinimized);
    }
}

} // namespace bitexa
