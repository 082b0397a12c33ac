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
      // Format characters that reorder or hide text, and line separators.
      {"A10K\xe2\x80\xaeZQX3", "A10K\\xe2\\x80\\xaeZQX3"},  // U+202E right-to-left override
      {"A10\xe2\x80\x8bK3", "A10\\xe2\\x80\\x8bK3"},        // U+200B zero-width space
      {"\xef\xbb\xbf" "FTDI", "\\xef\\xbb\\xbfFTDI"},          // U+FEFF byte-order mark
      {"a\xe2\x80\xa8" "b", "a\\xe2\\x80\\xa8" "b"},        // U+2028 line separator
      {"\xe2\x81\xa6x\xe2\x81\xa9", "\\xe2\\x81\\xa6x\\xe2\\x81\\xa9"},  // isolates
      {"soft\xc2\xadhyphen", "soft\\xc2\\xadhyphen"},          // U+00AD
      {"\xf3\xa0\x80\x81tag", "\\xf3\\xa0\\x80\\x81tag"},  // U+E0001 language tag
      {"\xe2\x80\x94 \xe2\x80\x90", "\xe2\x80\x94 \xe2\x80\x90"},  // dashes are text
      {"\xd8\xa7\xd9\x84", "\xd8\xa7\xd9\x84"},              // Arabic letters stay
  };
  for (const auto& c : cases) EXPECT_EQ(visibleText(c.raw), c.shown) << c.shown;
}

}  // namespace
}  // namespace kelvry
