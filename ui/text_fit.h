#pragma once

#include <QPlainTextEdit>

namespace kelvry {

// The height `edit` needs at the width `editWidth` to show all of its text,
// wrapped as it wraps it, without a vertical scroll bar: frame and document
// margins included.
int plainTextHeight(const QPlainTextEdit& edit, int editWidth);

}  // namespace kelvry
