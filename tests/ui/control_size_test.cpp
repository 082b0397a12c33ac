// Control sizes follow the font: the design's pixels at the usual font,
// larger with a larger font, and never a cut caption.

#include <QFontMetrics>

#include "tests/ui/window_fixture.h"
#include "ui/control_metrics.h"

namespace kelvry::test {
namespace {

// Whether a size grows follows from the font's line height, not from its
// point size: the same point size is taller in some fonts (a serif font of
// Wine's at 9 pt is 17 pixels high, Linux's usual sans serif 14).
TEST(ControlMetrics, DesignPixelsUpToTheUsualFontThenGrowWithTheLineHeight) {
  for (const int pointSize : {8, 9, 14, 24}) {
    QFont font = QApplication::font();
    font.setPointSize(pointSize);
    const TControlMetrics metrics(font);
    const int lineHeight = QFontMetrics(font).height();
    const bool bGrows = lineHeight > TControlMetrics::kDesignLineHeight;
    EXPECT_EQ(metrics.px(111) > 111, bGrows) << pointSize << " pt, line height " << lineHeight;
    if (bGrows) {
      EXPECT_NEAR(metrics.px(160), 160 * lineHeight / TControlMetrics::kDesignLineHeight, 1);
    }
    EXPECT_EQ(metrics.rect(13, 46, 327, 26), QRect(metrics.px(13), metrics.px(46), metrics.px(327), metrics.px(26)));
  }
  QFont large = QApplication::font();
  large.setPointSize(24);
  EXPECT_GT(TControlMetrics(large).px(111), 111) << "a 24 pt font is taller than the usual one in any family";
}

class ControlSizes : public TWindowTest, public testing::WithParamInterface<int> {
protected:
  void TearDown() override {
    TWindowTest::TearDown();
    QApplication::setFont(FUsualFont);
  }
  const QFont FUsualFont = QApplication::font();
};

// The user reads every caption whole at any font size.
TEST_P(ControlSizes, NoCaptionIsCut) {
  QFont font = QApplication::font();
  font.setPointSize(GetParam());
  QApplication::setFont(font);
  openWindow({"f:+"}, true);
  frmMain->show();

  EXPECT_LE(frmMain->Label1->x() + frmMain->Label1->sizeHint().width(), frmMain->cbxPort->x());
  for (QWidget* control : std::initializer_list<QWidget*>{frmMain->btnProg, frmMain->btnFile, frmMain->btnClose,
                                                           frmMain->btnCancel, frmMain->chkReadInfoOnly}) {
    const QFontMetrics metrics(control->font());
    const QString caption = shownCaption(static_cast<QAbstractButton*>(control)->text());
    EXPECT_GE(control->width(), metrics.horizontalAdvance(caption) + 4) << caption.toStdString();
    EXPECT_GE(control->height(), metrics.height()) << caption.toStdString();
  }
  // Every control lies inside the window.
  for (QWidget* control : frmMain->Panel1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (control->isHidden()) continue;
    EXPECT_TRUE(frmMain->Panel1->rect().contains(control->geometry())) << control->objectName().toStdString();
  }
  const QFontMetrics messageMetrics(frmMain->frmMessage()->font());
  EXPECT_GE(frmMain->frmMessage()->Button1->height(), messageMetrics.height());
}

INSTANTIATE_TEST_SUITE_P(PointSizes, ControlSizes, testing::Values(9, 14, 20),
                         [](const testing::TestParamInfo<int>& param) { return std::to_string(param.param) + "pt"; });

}  // namespace
}  // namespace kelvry::test
