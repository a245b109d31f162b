#include "window/FrameLayout.h"

#include <algorithm>

namespace bitexa {

QRect FrameInClientCoordinates(const QWidget& window) {
    return window.frameGeometry().translated(-window.geometry().topLeft());
}

QRect FitToFrame(const QWidget& window, QWidget& child) {
    const QRect frame = FrameInClientCoordinates(window);
    const QRect placed = child.geometry();
    // Right and bottom as the platform counts them: one past the last pixel.
    const int right = frame.x() + frame.width() - FrameInset;
    const int bottom = frame.y() + frame.height() - FrameInset;
    child.setGeometry(placed.x(), placed.y(), std::max(0, right - placed.x()),
                      std::max(0, bottom - placed.y()));
    return frame;
}

} // namespace bitexa
