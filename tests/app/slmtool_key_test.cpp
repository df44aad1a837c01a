// `slmtool key` run as a user runs it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/tool_run.h"

namespace slm {
namespace {

class SlmtoolKey : public ::testing::Test {
 protected:
  SlmtoolKey() { std::filesystem::create_directories(dir_); }
  ~SlmtoolKey() override { std::filesystem::remove_all(dir_); }

  test::ToolRun Run(const std::vector<std::string>& args) {
    return test::RunProgram(SLMTOOL_PATH, args, dir_);
  }
  // A device path that does not exist, so that an accepted code fails at the port.
  std::string Missing() const { return (dir_ / "no-such-port").string(); }

  const std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() /
      ("slmtool_key_test_" + std::to_string(::getpid()) + "_" +
       ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(SlmtoolKey, CodesOutsideOneToTenAreRefusedWithTheListOfKeys) {
  for (const std::string code :
       {"0", "11", "-1", "abc", "5x", " 5", "5.0", "", "99999999999999999999", "4294967301"}) {
    const test::ToolRun run = Run({"key", "--port", Missing(), code});
    EXPECT_EQ(run.exit_code, 2) << "code \"" << code << "\"";
    EXPECT_EQ(run.out, "") << code;
    for (const char* key : {"1 A/C", "2 Fast/Slow/Imp", "5 Run/Pause/Stop", "10 range down"}) {
      EXPECT_NE(run.err.find(key), std::string::npos) << code << ": " << run.err;
    }
    EXPECT_EQ(run.err.find("No device found"), std::string::npos) << code << ": the port was tried";
  }
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"key", "--port", Missing()},
        std::vector<std::string>{"key", "--port", Missing(), "1", "2"}}) {
    const test::ToolRun run = Run(args);
    EXPECT_EQ(run.exit_code, 2) << args.size() << " arguments";
    EXPECT_NE(run.err.find("10 range down"), std::string::npos) << run.err;
  }
}

TEST_F(SlmtoolKey, EveryCodeOfAKeyIsTakenAndGoesToThePort) {
  for (int code = 1; code <= 10; ++code) {
    const test::ToolRun run = Run({"key", "--port", Missing(), std::to_string(code)});
    EXPECT_EQ(run.exit_code, 1) << code << ": " << run.err;
    EXPECT_NE(run.err.find("No device found, try again!"), std::string::npos) << run.err;
  }
}

TEST_F(SlmtoolKey, TextsThatLookLikePortNamesButNameNoneAreRefused) {
  for (const std::string name : {"COM0", "COM17", "com1", "COM-1"}) {
    const test::ToolRun run = Run({"key", "--port", name, "5"});
    EXPECT_EQ(run.exit_code, 2) << name << ": " << run.err;
    EXPECT_NE(run.err.find("\"" + name + "\" is not a port name"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("COM1 to COM16"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace slm
