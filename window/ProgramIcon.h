#pragma once

#include <QIcon>

namespace bitexa {

// The program's icon at every size it is drawn in, from the program's resources.
QIcon ProgramIcon();

} // namespace bitexa
