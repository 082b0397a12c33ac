#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace kelvry {

// The windows are drawn in fixed pixel sizes that suit the desktop's usual
// font. A larger font (a larger point size, or a higher font resolution)
// would cut the captions, so every design size grows with the font's line
// height; up to the usual font, the design's pixels hold exactly.
class TControlMetrics {
public:
  explicit TControlMetrics(const QFont& font);

  // The line height of the largest font the design sizes were made for
  // (a 10 pt sans serif font at 96 dots per inch).
  static constexpr int kDesignLineHeight = 16;

  double scale() const { return FScale; }
  int px(int designPixels) const;
  QSize size(int designWidth, int designHeight) const;
  QRect rect(int designLeft, int designTop, int designWidth, int designHeight) const;

private:
  double FScale;
};

}  // namespace kelvry
