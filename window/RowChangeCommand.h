#pragma once

#include "window/RowCorrections.h"

#include <QUndoCommand>

namespace bitexa {

class AlignTableModel;

// One correction of the alignment view on its undo stack: redoing makes the change of rows,
// undoing turns it around. Either leaves the user on the cell the correction concerns.
class RowChangeCommand final : public QUndoCommand {
public:
    RowChangeCommand(AlignTableModel& model, RowChange change, const QString& name);

    void redo() override;
    void undo() override;

private:
    AlignTableModel& m_model;
    RowChange m_change;
};

} // namespace bitexa
