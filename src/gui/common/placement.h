#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QWidget;

namespace zizara::gui::common {

// Window placement. Rectangles are frame rectangles (title bar and borders included) in
// desktop coordinates; `available` is the usable part of the screen.

// `frame` moved, and shrunk where it is larger, so that all of it lies inside `available`.
QRect KeptInside(QRect frame, QRect available);
// A frame of `size` centred on `host`, kept inside `available`.
QRect CentredOn(QSize size, QRect host, QRect available);
// A frame of `size` next to `main`: right of it where there is room, else left of it, else at
// the right edge of `available` over the lower part of the main window (never over its
// menu bar); beside it, its top is level with the main window's top, moved down by `slot`
// title-bar heights so that several tool windows do not hide each other.
QRect Beside(QSize size, QRect main, QRect available, int slot = 0);

// The frame a top-level widget has or, before it is first shown, is expected to get: its
// size plus the border `like` has (the main window's, when known).
QMargins FrameMargins(const QWidget* window, const QWidget* like);
// Centres a top-level widget on `host` (its frame on the host's frame), on the host's screen.
void CentreOnWindow(QWidget* window, const QWidget* host);
// Puts a tool window beside the main window.
void PlaceBesideWindow(QWidget* window, const QWidget* main, int slot = 0);
// Centres a window on the screen it is on (or the primary screen).
void CentreOnScreen(QWidget* window);

}  // namespace zizara::gui::common
