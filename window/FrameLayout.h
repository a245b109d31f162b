#pragma once

#include <QRect>
#include <QWidget>

namespace bitexa {

// How far the filling control of a resizable window stays inside the window's outer frame.
inline constexpr int FrameInset = 4;

// The window's outer frame (title bar and borders included) in the coordinates of its client
// area, so its left and top are zero or negative.
QRect FrameInClientCoordinates(const QWidget& window);

// The layout rule of the two resizable windows: the child keeps its top-left corner and its
// right and bottom edges move to FrameInset pixels short of the frame's right and bottom edges.
// Returns the frame rectangle it used.
QRect FitToFrame(const QWidget& window, QWidget& child);

} // namespace bitexa
