#pragma once

#include <QRect>
#include <QSize>

namespace bitexa {

// The space kept between a window and the companion placed beside it, in pixels.
inline constexpr int CompanionGap = 8;

// Where a companion window whose frame has `size` goes beside the `owner` window's frame on a
// screen whose free area is `screen`: below the owner, else to its right, to its left, above it,
// the first side where it fits whole (slid along that side to stay on the screen). Where it fits
// nowhere, the side that shows most of it. Never over the owner.
QRect PlaceBeside(const QRect& owner, const QSize& size, const QRect& screen);

} // namespace bitexa
