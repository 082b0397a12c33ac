#pragma once

#include <QWidget>

// Top-level windows are placed by their outer frame, title bar included, as
// the user sees them; Qt's resize() sets only the inside. These helpers set
// outer sizes.

namespace kelvry {

inline int frameExtraWidth(const QWidget& window) { return window.frameGeometry().width() - window.width(); }
inline int frameExtraHeight(const QWidget& window) { return window.frameGeometry().height() - window.height(); }

inline void setOuterWidth(QWidget& window, int width) { window.resize(width - frameExtraWidth(window), window.height()); }
inline void setOuterHeight(QWidget& window, int height) {
  window.resize(window.width(), height - frameExtraHeight(window));
}

}  // namespace kelvry
