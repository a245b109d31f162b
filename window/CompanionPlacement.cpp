#include "window/CompanionPlacement.h"

#include <algorithm>
#include <array>

namespace bitexa {

namespace {

// `start` moved so that [start, start + length) lies within [low, high), as far as it can.
int SlideInto(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length));
}

long long VisibleArea(const QRect& rect, const QRect& screen) {
    const QRect visible = rect.intersected(screen);
    return visible.isEmpty() ? 0 : static_cast<long long>(visible.width()) * visible.height();
}

} // namespace

QRect PlaceBeside(const QRect& owner, const QSize& size, const QRect& screen) {
    const int w = size.width();
    const int h = size.height();
    // Sliding along a side keeps the window clear of the owner: it only moves parallel to it.
    const int alongX = SlideInto(owner.left(), w, screen.left(), screen.left() + screen.width());
    const int alongY = SlideInto(owner.top(), h, screen.top(), screen.top() + screen.height());
    const std::array<QRect, 4> sides{
        QRect(alongX, owner.top() + owner.height() + CompanionGap, w, h), // below
        QRect(owner.left() + owner.width() + CompanionGap, alongY, w, h), // right
        QRect(owner.left() - CompanionGap - w, alongY, w, h),             // left
        QRect(alongX, owner.top() - CompanionGap - h, w, h),              // above
    };
    for (const QRect& side : sides) {
        if (screen.contains(side)) {
            return side;
        }
    }
    return *std::max_element(sides.begin(), sides.end(), [&](const QRect& a, const QRect& b) {
        return VisibleArea(a, screen) < VisibleArea(b, screen);
    });
}

} // namespace bitexa
