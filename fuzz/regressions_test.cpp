// Every input in fuzz/regressions/TARGET/ (inputs that once failed a fuzz
// target, and a few by hand) passes the target's checks, without libFuzzer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/checks.h"

namespace slm::fuzz {
namespace {

namespace fs = std::filesystem;

template <typename Check>
void CheckEveryInput(const std::string& target, Check check) {
  const fs::path dir = fs::path(SLM_FUZZ_REGRESSIONS_DIR) / target;
  ASSERT_TRUE(fs::is_directory(dir)) << dir;
  int inputs = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    std::ifstream in(entry.path(), std::ios::binary);
    const std::string input{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(check(input), "") << entry.path();
    ++inputs;
  }
  EXPECT_GT(inputs, 0) << "no inputs in " << dir;
}

TEST(FuzzRegressions, DataFile) { CheckEveryInput("data_file", CheckDataFile); }
TEST(FuzzRegressions, LiveFrame) { CheckEveryInput("live_frame", CheckLiveFrame); }
TEST(FuzzRegressions, StoredSets) { CheckEveryInput("stored_sets", CheckStoredSets); }

}  // namespace
}  // namespace slm::fuzz
