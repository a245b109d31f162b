#include "window/ProgramIcon.h"

#include <array>

// The resources live in a static library: naming their initialiser here makes the linker keep
// them in every program that shows the icon.
static void InitProgramResources() {
    Q_INIT_RESOURCE(bitexa);
}

namespace bitexa {

QIcon ProgramIcon() {
    InitProgramResources();
    QIcon icon;
    for (const int size : std::array{16, 32, 48, 256}) {
        icon.addFile(QStringLiteral(":/icons/bitexa-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace bitexa
