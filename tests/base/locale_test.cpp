// The program under a desktop whose locale writes decimal commas, as Qt makes
// it active at start-up: numbers in files and on the panel must not change.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/data_file_reader.h"
#include "files/data_file_writer.h"
#include "live/pc_recorder.h"
#include "support/sample_lists.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

extern char** environ;

namespace slm {
namespace {

constexpr const char* kLocale = "de_DE.UTF-8";

// Builds the locale into SLM_LOCALE_DIR when the machine has not got it.
bool MakeLocale() {
  const std::string dir = SLM_LOCALE_DIR;
  std::filesystem::create_directories(dir);
  const std::string target = dir + "/" + kLocale;
  if (!std::filesystem::exists(target)) {
    // Built aside and moved into place: tests run side by side may all get here.
    const std::string aside = target + "." + std::to_string(::getpid());
    std::string words[] = {"localedef", "-i", "de_DE", "-f", "UTF-8", aside};
    char* argv[] = {words[0].data(), words[1].data(), words[2].data(), words[3].data(),
                    words[4].data(), words[5].data(), nullptr};
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, "localedef", nullptr, nullptr, argv, environ) != 0) return false;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return false;
    // localedef warns with exit code 1 and still writes the locale.
    std::error_code error;
    std::filesystem::rename(aside, target, error);
    if (error) std::filesystem::remove_all(aside, error);
  }
  ::setenv("LOCPATH", dir.c_str(), 1);
  return std::setlocale(LC_ALL, kLocale) != nullptr;
}

class CommaLocale : public ::testing::Environment {
 public:
  void SetUp() override {
    if (std::setlocale(LC_ALL, kLocale) == nullptr) {
      ASSERT_TRUE(MakeLocale()) << "cannot make " << kLocale << " active";
    }
  }
};

TEST(CommaLocale, IsActiveAndBreaksTheCLibrarysNumbers) {
  EXPECT_EQ(std::strtod("65.3", nullptr), 65.0);
  EXPECT_EQ(std::strtod("65,3", nullptr), 65.3);
}

TEST(CommaLocale, RecordingKeepsTheTenthsOfItsMaximum) {
  test::TempDir dir;
  test::VirtualClock clock;
  PcRecorder recorder(clock.Source(), dir.path());
  const PanelCaptions captions{"A", "FAST", "40-100"};
  recorder.StartRecording(dir.File("night.dlgr"), Separator::kTab);
  for (int i = 0; i < 6; ++i)
    recorder.Tick(clock.Second(i), i < 3 ? 65.7 : 65.3, i < 3 ? "65.7" : "65.3", captions);
  ASSERT_EQ(recorder.EndRecording(captions), "");
  const DataFile file = OpenDataFile(dir.File("night.dlgr"));
  EXPECT_EQ(file.list.header().max_level, "65.7");
  ASSERT_FALSE(file.list.empty());
  EXPECT_EQ(file.list.level(file.list.size() - 1), "65.3");
}

TEST(CommaLocale, ListFilesReadBackTheSameTexts) {
  test::TempDir dir;
  const RecordList saved = test::SampleMemorySet();
  for (Separator separator : {Separator::kTab, Separator::kComma}) {
    SaveRecordList(dir.File("set"), saved, separator);
    const DataFile file = OpenDataFile(dir.File("set"));
    EXPECT_EQ(file.list.header(), saved.header());
    ASSERT_EQ(file.list.size(), 3u);
    EXPECT_EQ(file.list.level(1), "70.4");
  }
}

}  // namespace
}  // namespace slm

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new slm::CommaLocale);
  return RUN_ALL_TESTS();
}
