// The internal-mode switch: the window reads it through Qt's settings
// store, the command line with its own reader. Both must come to the same
// answer for every settings file a person or the store may write.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "frontend/internal_switch_files.h"
#include "frontend/internal_switch_qsettings.h"

namespace kelvry {
namespace {

// Points both setting scopes at fresh folders, so the developer's own
// switch never decides a test and every case starts without a setting.
class InternalSwitch : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(user_.isValid() && system_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, user_.path());
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, system_.path());
  }

  static void storeSwitch(const QVariant& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Dralmor", "Tarvo");
    settings.setValue("intern", value);
    settings.sync();
    ASSERT_EQ(settings.status(), QSettings::NoError);
  }

  // Writes a settings file the way a person would edit it by hand; null
  // leaves the file out.
  static void writeFile(const QTemporaryDir& root, const QString& name, const char* content) {
    if (content == nullptr) return;
    ASSERT_TRUE(QDir(root.path()).mkpath("Dralmor"));
    QFile file(root.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
  }

  bool commandLineReads() const {
    return readInternalSwitchIn(TConfigFolders{user_.path().toStdString(), {system_.path().toStdString()}});
  }

  QTemporaryDir user_;
  QTemporaryDir system_;
};

TEST_F(InternalSwitch, OffWithoutAnySettingAndCreatesNothing) {
  EXPECT_FALSE(readInternalSwitchWithQSettings());
  EXPECT_FALSE(commandLineReads());
  EXPECT_TRUE(QDir(user_.path()).isEmpty());
}

TEST_F(InternalSwitch, OnForTheNumberStoredBySettings) {
  storeSwitch(7319);
  EXPECT_TRUE(readInternalSwitchWithQSettings());
  EXPECT_TRUE(commandLineReads());
}

TEST_F(InternalSwitch, OffForAnotherNumberStoredBySettings) {
  storeSwitch(7318);
  EXPECT_FALSE(readInternalSwitchWithQSettings());
  EXPECT_FALSE(commandLineReads());
}

TEST_F(InternalSwitch, OnForTheNumberStoredAsTypedTextBySettings) {
  storeSwitch(QString("7319"));
  EXPECT_TRUE(readInternalSwitchWithQSettings());
  EXPECT_TRUE(commandLineReads());
}

struct TSwitchCase {
  const char* what;
  bool on;
  const char* userFile;                  // Dralmor/Tarvo.conf in the user's folder
  const char* userOrganization = nullptr;  // Dralmor.conf in the user's folder
  const char* systemFile = nullptr;        // Dralmor/Tarvo.conf in the system folder
  const char* systemOrganization = nullptr;
};

class SameSwitch : public InternalSwitch, public testing::WithParamInterface<TSwitchCase> {};

TEST_P(SameSwitch, InTheWindowAndOnTheCommandLine) {
  const TSwitchCase& c = GetParam();
  writeFile(user_, "Dralmor/Tarvo.conf", c.userFile);
  writeFile(user_, "Dralmor.conf", c.userOrganization);
  writeFile(system_, "Dralmor/Tarvo.conf", c.systemFile);
  writeFile(system_, "Dralmor.conf", c.systemOrganization);
  EXPECT_EQ(readInternalSwitchWithQSettings(), c.on) << c.what;
  EXPECT_EQ(commandLineReads(), c.on) << c.what;
}

const TSwitchCase kSwitchCases[] = {
    {"plain", true, "[General]\nintern=7319\n"},
    {"before any section", true, "intern=7319\n"},
    {"section name in lower case", true, "[general]\nintern=7319\n"},
    {"section name with blanks", true, "[ General ]\nintern=7319\n"},
    {"section without bracket", true, "[General\nintern=7319\n"},
    {"group named General", false, "[%General]\nintern=7319\n"},
    {"other group", false, "[Options]\nintern=7319\n"},
    {"back to the top level", true, "[A]\nx=1\n[General]\nintern=7319\n"},
    {"blanks around", true, "[General]\n  intern\t=  7319 \t\n"},
    {"quoted", true, "[General]\nintern=\"7319\"\n"},
    {"quoted with blanks", false, "[General]\nintern=\" 7319\"\n"},
    {"empty quotes inside", true, "[General]\nintern=73\"\"19\n"},
    {"comment after", true, "[General]\nintern=7319 ; on\n"},
    {"comment right after", true, "[General]\nintern=7319;\n"},
    {"commented out", false, "[General]\n;intern=7319\n"},
    {"hash is no comment", false, "[General]\n#intern=7319\n"},
    {"semicolon in quotes", false, "[General]\nintern=\"73;19\"\n"},
    {"Windows line ends", true, "[General]\r\nintern=7319\r\n"},
    {"byte order mark", true, "\xEF\xBB\xBF[General]\nintern=7319\n"},
    {"no line end", true, "[General]\nintern=7319"},
    {"continued line", true, "[General]\nintern=73\\\n19\n"},
    {"backslash at the end", true, "[General]\nintern=7319\\\n"},
    {"hex escapes", true, "[General]\nintern=\\x37\\x33\\x31\\x39\n"},
    {"hex escape runs on", false, "[General]\nintern=\\x37319\n"},
    {"octal escapes", true, "[General]\nintern=\\67\\63\\61\\71\n"},
    {"escaped tab", false, "[General]\nintern=\\t7319\n"},
    {"escaped blank kept", false, "[General]\nintern=7319\\40\n"},
    {"unknown escape dropped", true, "[General]\nintern=7\\q319\n"},
    {"escaped quote", false, "[General]\nintern=\\\"7319\n"},
    {"unclosed quote", false, "[General]\nintern=\"7319\n"},
    {"list", false, "[General]\nintern=7319, 7319\n"},
    {"list of one", false, "[General]\nintern=7319,\n"},
    {"comma in quotes", false, "[General]\nintern=\"73,19\"\n"},
    {"percent-encoded key", true, "[General]\nint%65rn=7319\n"},
    {"unicode-encoded key", true, "[General]\n%U0069ntern=7319\n"},
    {"key in upper case", false, "[General]\nIntern=7319\n"},
    {"key in a group path", false, "[General]\nA/intern=7319\n"},
    {"line without equals sign", true, "[General]\nintern 1\nintern=7319\n"},
    {"second equals sign", false, "[General]\nintern==7319\n"},
    {"last value wins", true, "[General]\nintern=1\nintern=7319\n"},
    {"last value wins off", false, "[General]\nintern=7319\nintern=1\n"},
    {"section given twice", false, "[General]\nintern=7319\n[A]\nx=1\n[General]\nintern=0\n"},
    {"top level then General", false, "intern=7319\n[General]\nintern=1\n"},
    {"other number", false, "[General]\nintern=7320\n"},
    {"zero", false, "[General]\nintern=0\n"},
    {"hex spelling", false, "[General]\nintern=0x1C97\n"},
    {"plus sign", false, "[General]\nintern=+7319\n"},
    {"leading zero", false, "[General]\nintern=07319\n"},
    {"text", false, "[General]\nintern=on\n"},
    {"fraction", false, "[General]\nintern=7319.5\n"},
    {"blank inside", false, "[General]\nintern=73 19\n"},
    {"empty value", false, "[General]\nintern=\n"},
    {"other value name", false, "[General]\ninternal=7319\n"},
    {"typed integer", true, "[General]\nintern=@Variant(\\0\\0\\0\\x2\\0\\0\\x1c\\x97)\n"},
    {"typed unsigned", true, "[General]\nintern=@Variant(\\0\\0\\0\\x3\\0\\0\\x1c\\x97)\n"},
    {"typed 64-bit", true, "[General]\nintern=@Variant(\\0\\0\\0\\x4\\0\\0\\0\\0\\0\\0\\x1c\\x97)\n"},
    {"typed other integer", false, "[General]\nintern=@Variant(\\0\\0\\0\\x2\\0\\0\\x1c\\x98)\n"},
    {"typed integer cut short", false, "[General]\nintern=@Variant(\\0\\0\\0\\x2\\0\\0\\x1c)\n"},
    {"typed text", true, "[General]\nintern=@Variant(\\0\\0\\0\\n\\0\\0\\0\\b\\0\\x37\\0\\x33\\0\\x31\\0\\x39)\n"},
    {"typed double", false, "[General]\nintern=@Variant(\\0\\0\\0\\x6@\\xbc\\x97\\0\\0\\0\\0\\0)\n"},
    {"string marker", true, "[General]\nintern=@String(7319)\n"},
    {"byte array", false, "[General]\nintern=@ByteArray(7319)\n"},
    {"escaped at sign", false, "[General]\nintern=@@7319\n"},
    {"invalid", false, "[General]\nintern=@Invalid()\n"},
    {"invalid hides the system file", false, "[General]\nintern=@Invalid()\n", nullptr, "[General]\nintern=7319\n"},
    {"organization file", true, nullptr, "[General]\nintern=7319\n"},
    {"application file before organization file", false, "[General]\nintern=1\n", "[General]\nintern=7319\n"},
    {"system file", true, nullptr, nullptr, "[General]\nintern=7319\n"},
    {"system organization file", true, nullptr, nullptr, nullptr, "[General]\nintern=7319\n"},
    {"user before system", false, "[General]\nintern=0\n", nullptr, "[General]\nintern=7319\n"},
    {"system application before organization", false, nullptr, nullptr, "intern=5\n", "intern=7319\n"},
    {"file without the value passes on", true, "[General]\nother=1\n", nullptr, "[General]\nintern=7319\n"},
};

INSTANTIATE_TEST_SUITE_P(Files, SameSwitch, testing::ValuesIn(kSwitchCases),
                         [](const testing::TestParamInfo<TSwitchCase>& caseInfo) {
                           std::string name = caseInfo.param.what;
                           for (char& ch : name)
                             if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           return name;
                         });

}  // namespace
}  // namespace kelvry
