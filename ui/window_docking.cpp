#include "ui/window_docking.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>

namespace kelvry {

QMargins frameMarginsOf(const QWidget& window, const QWidget& framedModel) {
  const QRect outer = window.frameGeometry();
  const QRect inner = window.geometry();
  const QMargins own(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                     outer.bottom() - inner.bottom());
  if (!own.isNull() || &window == &framedModel) return own;
  return frameMarginsOf(framedModel, framedModel);
}

QRect outerRectOf(const QWidget& window, const QWidget& framedModel) {
  return window.geometry() + frameMarginsOf(window, framedModel);
}

void moveFrameTo(QWidget& window, QPoint framePos, const QWidget& framedModel) {
  const QMargins frame = frameMarginsOf(window, framedModel);
  // The inside's place, which every window manager honours as given; a
  // frame position is honoured only once the frame is known.
  const QPoint inside = framePos + QPoint(frame.left(), frame.top());
  if (window.geometry().topLeft() != inside) window.setGeometry(QRect(inside, window.size()));
}

void setOuterSize(QWidget& window, QSize outerSize, const QWidget& framedModel) {
  const QMargins frame = frameMarginsOf(window, framedModel);
  window.resize(outerSize.shrunkBy(frame));
}

QPoint dockedBelow(const QWidget& main) {
  const QRect outer = main.frameGeometry();
  return QPoint(outer.left(), outer.top() + outer.height());
}

void dockBelow(QWidget& window, const QWidget& main, int minimumHeight) {
  const QPoint below = dockedBelow(main);
  moveFrameTo(window, below, main);
  const QRect area = availableAreaFor(main);
  if (area.isEmpty()) return;
  const QRect outer = outerRectOf(window, main);
  // Frames are whole device pixels; scaled to the window's pixels each edge
  // may be rounded down by one.
  const int roundingSlack = main.devicePixelRatioF() > 1.0 ? 2 : 0;
  const int room = area.top() + area.height() - below.y() - roundingSlack;
  if (outer.height() <= room) return;
  const int insideHeight = room - (outer.height() - window.height());
  window.resize(window.width(), std::max(minimumHeight, insideHeight));
}

QPoint startPlaceOfGroup(const QRect& area, QSize mainOuter, int heightBelow) {
  const int left = area.left() + (area.width() - mainOuter.width()) / 2;
  const int top = area.top() + std::max(0, (area.height() - mainOuter.height() - heightBelow) / 2);
  return QPoint(std::max(area.left(), left), top);
}

QRect keptOnArea(QRect outer, const QRect& area) {
  outer.setSize(outer.size().boundedTo(area.size()));
  outer.moveLeft(std::clamp(outer.left(), area.left(), area.left() + area.width() - outer.width()));
  outer.moveTop(std::clamp(outer.top(), area.top(), area.top() + area.height() - outer.height()));
  return outer;
}

QRect availableAreaFor(const QWidget& window) {
  const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

}  // namespace kelvry
