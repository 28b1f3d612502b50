#include "gui/common/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace zizara::gui::common {

namespace {

constexpr int kTitleStep = 28;  // about one title bar

QRect AvailableFor(const QWidget* widget) {
  QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

// Where a frame rectangle puts the widget's top-left corner for move().
void MoveFrameTo(QWidget* window, QRect frame, QMargins margins) {
  const QSize client(frame.width() - margins.left() - margins.right(),
                     frame.height() - margins.top() - margins.bottom());
  if (client.width() < window->width() || client.height() < window->height()) {
    window->resize(client.expandedTo(window->minimumSize()));
  }
  window->move(frame.topLeft());  // a window's position is that of its frame
}

}  // namespace

QRect KeptInside(QRect frame, QRect available) {
  frame.setWidth(std::min(frame.width(), available.width()));
  frame.setHeight(std::min(frame.height(), available.height()));
  if (frame.right() > available.right()) frame.moveRight(available.right());
  if (frame.bottom() > available.bottom()) frame.moveBottom(available.bottom());
  if (frame.left() < available.left()) frame.moveLeft(available.left());
  if (frame.top() < available.top()) frame.moveTop(available.top());
  return frame;
}

QRect CentredOn(QSize size, QRect host, QRect available) {
  QRect frame(QPoint(0, 0), size);
  frame.moveCenter(host.center());
  return KeptInside(frame, available);
}

QRect Beside(QSize size, QRect main, QRect available, int slot) {
  QRect frame(QPoint(0, 0), size);
  frame.moveTop(main.top() + slot * kTitleStep);
  if (main.right() + 1 + size.width() <= available.right() + 1) {
    frame.moveLeft(main.right() + 1);
  } else if (main.left() - size.width() >= available.left()) {
    frame.moveRight(main.left() - 1);
  } else {
    // No room beside it: over its lower part, clear of its menu bar and toolbar.
    frame.moveRight(available.right());
    frame.moveBottom(main.bottom() - slot * kTitleStep);
  }
  return KeptInside(frame, available);
}

QMargins FrameMargins(const QWidget* window, const QWidget* like) {
  // A window that is not mapped yet has no frame of its own to measure.
  for (const QWidget* w : {window, like}) {
    if (w != nullptr && w->isVisible()) {
      const QRect frame = w->frameGeometry();
      const QRect client = w->geometry();
      if (frame == client && w == window) continue;
      return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                      frame.right() - client.right(), frame.bottom() - client.bottom());
    }
  }
  return {};
}

void CentreOnWindow(QWidget* window, const QWidget* host) {
  if (window == nullptr) return;
  if (host == nullptr || !host->isVisible()) {
    CentreOnScreen(window);
    return;
  }
  const QMargins m = FrameMargins(window, host);
  const QSize size = window->size().grownBy(m);
  MoveFrameTo(window, CentredOn(size, host->frameGeometry(), AvailableFor(host)), m);
}

void PlaceBesideWindow(QWidget* window, const QWidget* main, int slot) {
  if (window == nullptr || main == nullptr) return;
  const QMargins m = FrameMargins(window, main);
  const QSize size = window->size().grownBy(m);
  MoveFrameTo(window, Beside(size, main->frameGeometry(), AvailableFor(main), slot), m);
}

void CentreOnScreen(QWidget* window) {
  if (window == nullptr) return;
  const QMargins m = FrameMargins(window, nullptr);
  const QRect available = AvailableFor(window);
  MoveFrameTo(window, CentredOn(window->size().grownBy(m), available, available), m);
}

}  // namespace zizara::gui::common
