#include "window/RowChangeCommand.h"

#include "window/AlignTableModel.h"

namespace bitexa {

RowChangeCommand::RowChangeCommand(AlignTableModel& model, RowChange change, const QString& name)
    : QUndoCommand(name), m_model(model), m_change(std::move(change)) {}

void RowChangeCommand::redo() {
    m_model.ReplaceRows(m_change.first, static_cast<int>(m_change.before.size()), m_change.after);
    emit m_model.FocusRequested(m_change.focusRow,
                                AlignTableModel::ColumnOfSide(m_change.focusSide));
}

void RowChangeCommand::undo() {
    m_model.ReplaceRows(m_change.first, static_cast<int>(m_change.after.size()), m_change.before);
    emit m_model.FocusRequested(m_change.first, AlignTableModel::ColumnOfSide(m_change.focusSide));
}

} // namespace bitexa
