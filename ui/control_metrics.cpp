#include "ui/control_metrics.h"

#include <algorithm>
#include <cmath>

#include <QFontMetrics>

namespace kelvry {

TControlMetrics::TControlMetrics(const QFont& font)
    : FScale(std::max(1.0, static_cast<double>(QFontMetrics(font).height()) / kDesignLineHeight)) {}

int TControlMetrics::px(int designPixels) const { return static_cast<int>(std::lround(designPixels * FScale)); }

QSize TControlMetrics::size(int designWidth, int designHeight) const {
  return QSize(px(designWidth), px(designHeight));
}

QRect TControlMetrics::rect(int designLeft, int designTop, int designWidth, int designHeight) const {
  return QRect(px(designLeft), px(designTop), px(designWidth), px(designHeight));
}

}  // namespace kelvry
