// `slmtool key`'s arguments, run as a user runs them (a key reaching the
// meter is in the process tests). The port names themselves are tested in
// core_tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/tool_run.h"

namespace slm {
namespace {

class SlmtoolKey : public test::ToolTest {
 protected:
  // A device path that does not exist, so that an accepted code fails at the port.
  std::string Missing() const { return dir_.File("no-such-port"); }
};

TEST_F(SlmtoolKey, OnlyACodeOfOneToTenGoesToThePort) {
  for (const std::string code : {"0", "11", "5x", ""}) {
    const test::ToolRun run = Run({"key", "--port", Missing(), code});
    EXPECT_EQ(run.exit_code, 2) << "code \"" << code << "\"";
    EXPECT_NE(run.err.find("1 A/C, 2 Fast/Slow/Imp"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("10 range down"), std::string::npos) << run.err;
  }
  EXPECT_EQ(Run({"key", "--port", Missing(), "1", "2"}).exit_code, 2);
  for (const std::string code : {"1", "10"}) {
    const test::ToolRun run = Run({"key", "--port", Missing(), code});
    EXPECT_EQ(run.exit_code, 1) << code << ": " << run.err;
    EXPECT_NE(run.err.find("No device found, try again!"), std::string::npos) << run.err;
  }
  const test::ToolRun named = Run({"key", "--port", "COM17", "5"});
  EXPECT_EQ(named.exit_code, 2) << named.err;
  EXPECT_NE(named.err.find("\"COM17\" is not a port name"), std::string::npos) << named.err;
}

}  // namespace
}  // namespace slm
