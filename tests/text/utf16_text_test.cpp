// UTF-8 to and from the UTF-16 of Windows' wide calls: every character comes
// back as it went, those beyond the Basic Multilingual Plane too, and text
// that is not valid on one side reads U+FFFD on the other.

#include <gtest/gtest.h>

#include <string>

#include "text/utf16_text.h"

namespace kelvry {
namespace {

struct TTextCase {
  const char* name;
  std::string utf8;
  std::wstring utf16;
};

class Utf16Text : public testing::TestWithParam<TTextCase> {};

TEST_P(Utf16Text, ConvertsBothWays) {
  EXPECT_EQ(toWide(GetParam().utf8), GetParam().utf16);
  EXPECT_EQ(fromWide(GetParam().utf16), GetParam().utf8);
  EXPECT_EQ(fromWide(toWide(GetParam().utf8)), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Utf16Text,
    testing::Values(TTextCase{"Empty", "", L""},
                    TTextCase{"Ascii", "C:\\Kelvry\\update.upd", L"C:\\Kelvry\\update.upd"},
                    TTextCase{"GermanLetters", "C:\\Pr\xC3\xBC" "fung\\Gr\xC3\xB6\xC3\x9F" "e \xC3\xA4.upd",
                              L"C:\\Pr\u00FCfung\\Gr\u00F6\u00DFe \u00E4.upd"},
                    TTextCase{"Greek", "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC",
                              L"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC"},
                    // U+1D11E and U+1F600: four bytes in UTF-8, a surrogate pair in UTF-16.
                    TTextCase{"BeyondTheBasicPlane", "clef \xF0\x9D\x84\x9E smile \xF0\x9F\x98\x80",
                              std::wstring(L"clef \xD834\xDD1E smile \xD83D\xDE00")},
                    TTextCase{"NulInside", std::string("a\0b", 3), std::wstring(L"a\0b", 3)}),
    [](const testing::TestParamInfo<TTextCase>& param) { return param.param.name; });

// What the system's conversion makes of text that is not valid: each bad
// part becomes U+FFFD, the rest is kept; nothing is dropped or thrown.
struct TInvalidCase {
  const char* name;
  std::string utf8;
  std::wstring utf16;
};

class InvalidUtf8 : public testing::TestWithParam<TInvalidCase> {};

TEST_P(InvalidUtf8, BecomesReplacementCharacters) { EXPECT_EQ(toWide(GetParam().utf8), GetParam().utf16); }

INSTANTIATE_TEST_SUITE_P(
    Texts, InvalidUtf8,
    testing::Values(
        // "Prüfung" in the Western code page, as an ANSI call would hand it.
        TInvalidCase{"WesternCodePage", "Pr\xFC" "fung", L"Pr\uFFFDfung"},
        TInvalidCase{"CutSequenceAtTheEnd", "ab\xC3", L"ab\uFFFD"},
        TInvalidCase{"LoneContinuationByte", "a\x80" "b", L"a\uFFFDb"}),
    [](const testing::TestParamInfo<TInvalidCase>& param) { return param.param.name; });

struct TLoneSurrogateCase {
  const char* name;
  std::wstring utf16;
  std::string utf8;
};

class LoneSurrogate : public testing::TestWithParam<TLoneSurrogateCase> {};

TEST_P(LoneSurrogate, BecomesAReplacementCharacter) { EXPECT_EQ(fromWide(GetParam().utf16), GetParam().utf8); }

INSTANTIATE_TEST_SUITE_P(
    Texts, LoneSurrogate,
    testing::Values(TLoneSurrogateCase{"High", std::wstring(L"a\xD834" L"b"), "a\xEF\xBF\xBD" "b"},
                    TLoneSurrogateCase{"Low", std::wstring(L"a\xDD1E"), "a\xEF\xBF\xBD"}),
    [](const testing::TestParamInfo<TLoneSurrogateCase>& param) { return param.param.name; });

}  // namespace
}  // namespace kelvry
