// One port, one job: a pseudo-terminal named twice, through a link or a
// path with "./" in it, is still one port.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/ports/same_port.h"
#include "tests/support/temp_folder.h"

namespace kelvry::cli {
namespace {

// A pseudo-terminal that lives as long as the test.
class TPseudoTerminal {
public:
  TPseudoTerminal() : master_(::posix_openpt(O_RDWR | O_NOCTTY)) {
    if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) path_ = ::ptsname(master_);
  }
  ~TPseudoTerminal() {
    if (master_ >= 0) ::close(master_);
  }
  TPseudoTerminal(const TPseudoTerminal&) = delete;
  TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

  const std::string& path() const { return path_; }

private:
  int master_;
  std::string path_;
};

// "/dev/pts/3" as "/dev/./pts/3".
std::string withDotStep(const std::string& path) { return "/dev/./" + path.substr(std::string("/dev/").size()); }

class SamePort : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_FALSE(terminal.path().empty()) << "no pseudo-terminal";
    ASSERT_FALSE(other.path().empty()) << "no pseudo-terminal";
    std::filesystem::create_symlink(terminal.path(), link);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  TPseudoTerminal terminal;
  TPseudoTerminal other;
  const std::filesystem::path folder = test::makeTempFolder("kelvry-same-port-");
  const std::string link = (folder / "logger").string();
};

TEST_F(SamePort, NamesOfOneDeviceAreTheSamePortAndOthersAreNot) {
  struct TCase {
    std::string first;
    std::string second;
    bool same;
  };
  const std::vector<TCase> cases = {
      {terminal.path(), link, true},
      {link, terminal.path(), true},
      {terminal.path(), withDotStep(terminal.path()), true},
      {withDotStep(terminal.path()), link, true},
      {terminal.path(), other.path(), false},
      {link, other.path(), false},
      {terminal.path(), (folder / "missing").string(), false},
      {(folder / "missing").string(), (folder / "missing").string(), false},  // the job says why it cannot open it
  };
  for (const TCase& c : cases) EXPECT_EQ(isSameDevice(c.first, c.second), c.same) << c.first << " and " << c.second;
}

TEST_F(SamePort, TheCommandLineRefusesOneDeviceGivenTwice) {
  const std::vector<std::vector<std::string>> twice = {
      {"kelvry-update-cli", "--port", terminal.path(), "--port", link},
      {"kelvry-update-cli", "--port", terminal.path(), "--port", withDotStep(terminal.path())},
      {"kelvry-update-cli", "--port", other.path(), "--port", link, "--port", terminal.path()},
  };
  for (const auto& arguments : twice) {
    const TCliParseResult result = parseCliOptions(arguments);
    EXPECT_EQ(result.error, "give each port only once ('" + arguments.back() + "' is '" +
                                arguments[arguments.size() - 3] + "')");
  }
  const TCliParseResult two = parseCliOptions({"kelvry-update-cli", "--port", terminal.path(), "--port", other.path()});
  EXPECT_EQ(two.error, "");
  EXPECT_EQ(two.options.ports.size(), 2u);
}

}  // namespace
}  // namespace kelvry::cli
