#include "ui/text_fit.h"

#include <algorithm>

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>

namespace kelvry {

namespace {
// The edit counts a line as visible only when it ends one pixel above the
// bottom margin.
constexpr int kEditVisibilitySlack = 1;
}  // namespace

// Lays the text out line by line as the plain text edit does (leading
// included, wrapped at the width inside its frame and margins), so that the
// measure is the edit's own and not an estimate from the font's height.
int plainTextHeight(const QPlainTextEdit& edit, int editWidth) {
  const QTextDocument& document = *edit.document();
  const qreal margin = document.documentMargin();
  const int frame = edit.frameWidth();
  const qreal lineWidth = std::max<qreal>(1, editWidth - 2 * frame - 2 * margin);
  QTextOption option = document.defaultTextOption();
  option.setWrapMode(edit.wordWrapMode());

  qreal height = 0;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    QTextLayout layout(block.text(), document.defaultFont());
    layout.setTextOption(option);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
      line.setLeadingIncluded(true);
      line.setLineWidth(lineWidth);
      height += line.height();
    }
    layout.endLayout();
  }
  return qCeil(height + 2 * margin) + kEditVisibilitySlack + 2 * frame;
}

}  // namespace kelvry
