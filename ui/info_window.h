#pragma once

#include <optional>

#include <QDialog>
#include <QMargins>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QTreeWidget>

#include "firmware/bl3_file_header.h"
#include "firmware/firmware_sources.h"

namespace kelvry {

// The firmware overview: one row per firmware the program can install, the
// update file first when it is the selected source, then the built-in
// images from the last to the first.
class TfrmInfo : public QDialog {
  Q_OBJECT

public:
  explicit TfrmInfo(QWidget* parent);

  // Fills the table, covers the rectangle from (ALeft, ATop) with height
  // AHeight, fits the width to the columns and shows the window modally.
  int Execute(int ALeft, int ATop, int AHeight);

  // The firmware the next Execute shows; the update file's row comes first
  // when it is the selected source (0).
  void setFirmware(const TFirmwareSources& sources, int32_t selectedSource);

  QTreeWidget* const ListView1;
  QPushButton* const Button1;

protected:
  void showEvent(QShowEvent* event) override;

private:
  void fillRows();
  // Where Execute put the window, to work it out again with the window's
  // own frame once it has one.
  struct TPlace {
    QPoint framePos;
    int outerHeight;
    int clientWidth;
  };
  void placeAgainInOwnFrame();
  std::optional<TPlace> FPlace;
  QMargins FFrameUsed;
  QTimer FFramePoll;
  int FFrameTicks = 0;

  TFirmwareSources FSources;
  int32_t FSelectedSource = -1;
  // Returns the sum of the column widths.
  int fitColumns();
  void placeOver(QPoint framePos, int outerHeight, int clientWidth, QMargins frame);
};

}  // namespace kelvry
