#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// Readable test names and failure messages for the Qt values the tests
// compare. QString and QStringList live in the global namespace, so their
// printers must too.

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

inline void PrintTo(const QStringList& list, std::ostream* out) {
  *out << '[' << list.join(' ').toStdString() << ']';
}
