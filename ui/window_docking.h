#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QWidget>

// Windows are placed by their outer frames, title bars included, as the user
// sees them. A window manager adds the frame only when it first shows a
// window, so a window that was never shown has no frame yet to measure; its
// place is then worked out with the frame of a window of the same program
// that is already shown, which the window manager decorates alike.

namespace kelvry {

// The frame of `window` around its inside; while it has none yet, that of
// `framedModel`.
QMargins frameMarginsOf(const QWidget& window, const QWidget& framedModel);

// The outer rectangle `window` has, or will have once it is framed.
QRect outerRectOf(const QWidget& window, const QWidget& framedModel);

// Puts the top-left corner of the outer frame of `window` at `framePos`,
// whether it was shown before or not.
void moveFrameTo(QWidget& window, QPoint framePos, const QWidget& framedModel);

// Gives `window` an outer size (frame included).
void setOuterSize(QWidget& window, QSize outerSize, const QWidget& framedModel);

// Where a window docked below `main` has its outer top-left corner: just
// under the main window's frame, left edges aligned.
QPoint dockedBelow(const QWidget& main);

// Keeps `window` docked below `main`: its frame just under the main window's
// frame, and its height cut, down to `minimumHeight`, where it would
// otherwise reach past the bottom of the available area.
void dockBelow(QWidget& window, const QWidget& main, int minimumHeight);

// Where a main window of outer size `mainOuter` opens: centred on `area`
// together with `heightBelow` pixels of windows docked under it, and never
// above the area's top.
QPoint startPlaceOfGroup(const QRect& area, QSize mainOuter, int heightBelow);

// `outer` no larger than `area` and moved the least way that puts it inside,
// so that every part of the window can be reached.
QRect keptOnArea(QRect outer, const QRect& area);

// The part of the desktop that windows may cover (no panels or task bars)
// on the screen that shows `window`.
QRect availableAreaFor(const QWidget& window);

}  // namespace kelvry
