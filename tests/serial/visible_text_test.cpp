// Text from a device is shown, never carried out by a terminal.

#include <gtest/gtest.h>

#include <string>

#include "serial/visible_text.h"

namespace kelvry {
namespace {

TEST(VisibleText, EscapesControlsAndBrokenUtf8AndKeepsTheRest) {
  const struct {
    std::string raw;
    std::string shown;
  } cases[] = {
      {"FTDI FT232R USB UART", "FTDI FT232R USB UART"},
      {"", ""},
      {"Prüfgerät 中文 Ελληνικά", "Prüfgerät 中文 Ελληνικά"},  // text in any language stays
      {"back\\slash", "back\\slash"},
      {"\x1b[2Jclear", "\\x1b[2Jclear"},                  // CSI: clear the screen
      {"\x1b]0;title\x07", "\\x1b]0;title\\x07"},         // OSC: set the title
      {"tab\tnew\nline\r", "tab\\x09new\\x0aline\\x0d"},
      {"del\x7f", "del\\x7f"},
      {"\xc2\x9b" "2J", "\\xc2\\x9b2J"},                   // C1 CSI in UTF-8
      {"\x9b" "2J", "\\x9b2J"},                           // a lone 8-bit CSI is no UTF-8
      {"\xc3", "\\xc3"},                                  // cut-off sequence
      {"\xc0\xaf", "\\xc0\\xaf"},                         // overlong "/"
      {"\xed\xa0\x80", "\\xed\\xa0\\x80"},                // a surrogate
      {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},       // past U+10FFFF
      {"\xf0\x9f\x94\x8c plug", "\xf0\x9f\x94\x8c plug"},  // four bytes, well formed
  };
  for (const auto& c : cases) EXPECT_EQ(visibleText(c.raw), c.shown) << c.shown;
}

}  // namespace
}  // namespace kelvry
