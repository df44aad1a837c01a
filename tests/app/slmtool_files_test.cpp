// `slmtool info` and `slmtool convert` run as a user runs them, on files in a
// fresh folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/data_file_reader.h"
#include "files/data_file_writer.h"
#include "files/record.h"

extern char** environ;

namespace slm {
namespace {

struct ToolRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class SlmtoolFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> serial{0};
    dir_ = std::filesystem::temp_directory_path() /
           ("slmtool_files_test_" + std::to_string(::getpid()) + "_" + std::to_string(serial++));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  std::string File(const std::string& name) const { return (dir_ / name).string(); }

  // Runs slmtool with `args`, its output and errors caught in files.
  ToolRun Run(const std::vector<std::string>& args) {
    const std::string out_path = File("stdout.txt");
    const std::string err_path = File("stderr.txt");
    std::vector<std::string> words = {SLMTOOL_PATH};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    ToolRun run;
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, SLMTOOL_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
      ADD_FAILURE() << "cannot start " << SLMTOOL_PATH;
      return run;
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
      run.exit_code = WEXITSTATUS(status);
    }
    run.out = ReadBytes(out_path);
    run.err = ReadBytes(err_path);
    std::filesystem::remove(out_path);
    std::filesystem::remove(err_path);
    return run;
  }

  std::filesystem::path dir_;
};

RecordList RealTimeList() {
  RecordList list;
  ListHeader& h = list.header();
  h.kind = ListKind::kRealTime;
  h.second_value = "5";
  h.frequency_weighting = "A";
  h.time_weighting = "FAST";
  h.range = "80-140";
  h.max_level = "88.1";
  h.max_time = "2024/05/01 10:00:05";
  h.sel = "75.2";
  h.leq = "65.2";
  list.Append("1", "2024/05/01 10:00:00", "61.0");
  list.Append("2", "2024/05/01 10:00:05", "88.1*");
  list.Append("3", "2024/05/01 10:00:10", "--");
  return list;
}

RecordList MemorySet() {
  RecordList list;
  ListHeader& h = list.header();
  h.kind = ListKind::kDataLogger2;
  h.second_value = "2";
  h.frequency_weighting = "C";
  h.time_weighting = "SLOW";
  h.range = "70-130";
  h.l05 = "78.1";
  h.l10 = "76.0";
  h.l50 = "70.4";
  h.l90 = "66.2";
  h.l95 = "65.9";
  h.max_level = "84.7";
  h.max_time = "2024/04/30 09:00:40";
  h.sel = "96.1";
  h.leq = "72.3";
  list.Append("1", "2024/04/30 09:00:00", "66.0");
  list.Append("2", "2024/04/30 09:00:20", "70.4");
  list.Append("3", "2024/04/30 09:00:40", "84.7");
  return list;
}

std::vector<Record> Records(const RecordList& list) {
  std::vector<Record> out;
  for (std::size_t i = 0; i < list.size(); ++i) out.push_back(list.record(i).ToRecord());
  return out;
}

TEST_F(SlmtoolFiles, InfoOnARealTimeFile) {
  const std::string path = File("recording.dlgr");
  SaveRecordList(path, RealTimeList(), Separator::kTab);
  const ToolRun run = Run({"info", path});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "Kind: Real Time\n"
            "Window: FileListReal\n"
            "Sampling period: 5 s\n"
            "Freq Weight: A\n"
            "Time Weight: FAST\n"
            "Level Range: 80-140\n"
            "Max dB: 88.1\n"
            "Max Time: 2024/05/01 10:00:05\n"
            "Leq: 65.2\n"
            "SEL: 75.2\n"
            "Records: 3\n");
  EXPECT_EQ(run.err, "");
}

TEST_F(SlmtoolFiles, InfoOnAMemorySetWithALineThatDoesNotSplit) {
  const std::string path = File("set.dlgr");
  WriteBytes(path,
             "Data Logger 2\r\nSET 2\r\nC\r\nSLOW\r\nRange 70-130\r\nL05 78.1\r\nL10 76.0\r\n"
             "L50 70.4\r\nL90 66.2\r\nL95 65.9\r\nMax dB 84.7\r\n2024/04/30 09:00:40\r\n"
             "SEL 96.1\r\nLeq 72.3\r\nNo.s\tDate Time\tdB\t\r\n"
             "1\t2024/04/30 09:00:00\t66.0\t\r\n"
             "2 2024/04/30 09:00:20 70.4\r\n"
             "3\t2024/04/30 09:00:40\t84.7\t\r\n");
  const ToolRun run = Run({"info", path});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "Kind: Data Logger 2\n"
            "Window: FileList\n"
            "Set: 2\n"
            "Freq Weight: C\n"
            "Time Weight: SLOW\n"
            "Level Range: 70-130\n"
            "Max dB: 84.7\n"
            "Max Time: 2024/04/30 09:00:40\n"
            "L 05: 78.1\n"
            "L 10: 76.0\n"
            "L 50: 70.4\n"
            "L 90: 66.2\n"
            "L 95: 65.9\n"
            "Leq: 72.3\n"
            "SEL: 96.1\n"
            "Records: 2\n"
            "Skipped lines: 1 (not three fields)\n");
}

TEST_F(SlmtoolFiles, ConvertToCsvAndBackKeepsTheList) {
  const std::string original = File("set.dlgr");
  const std::string csv = File("set.CSV");  // the case of the extension does not matter
  const std::string back = File("back.dlgr");
  const RecordList set = MemorySet();
  SaveRecordList(original, set, Separator::kTab);

  ToolRun run = Run({"convert", original, "-o", csv});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "3 records written to " + csv + "\n");
  const std::string csv_text = ReadBytes(csv);
  EXPECT_EQ(csv_text, FormatListFile(set, Separator::kComma));
  EXPECT_NE(csv_text.find("\r\nNo.s,Date Time,dB,\r\n1,2024/04/30 09:00:00,66.0,\r\n"),
            std::string::npos);

  run = Run({"convert", csv, "--output", back});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "3 records written to " + back + "\n");
  EXPECT_EQ(ReadBytes(back), ReadBytes(original));
  const DataFile read_back = OpenDataFile(back);
  EXPECT_EQ(read_back.list.header(), set.header());
  EXPECT_EQ(Records(read_back.list), Records(set));
}

TEST_F(SlmtoolFiles, ConvertWritesTabsUnlessTheNameEndsInCsv) {
  const std::string csv = File("recording.csv");
  const std::string text = File("recording.csv.txt");
  WriteBytes(csv, FormatListFile(RealTimeList(), Separator::kComma));

  const ToolRun run = Run({"convert", csv, "-o", text});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(ReadBytes(text), FormatListFile(RealTimeList(), Separator::kTab));
}

TEST_F(SlmtoolFiles, OlderMemorySetIsWrittenInTheCurrentForm) {
  const std::string old = File("old.dlgr");
  const std::string out = File("new.dlgr");
  WriteBytes(old,
             "Data Logger\r\n2\r\nC\r\nSLOW\r\n70-130\r\n78.1\r\n76.0\r\n70.4\r\n66.2\r\n"
             "65.9\r\n84.7\r\n2024/04/30 09:00:40\r\n96.1\r\n72.3\r\nNo.s\tDate Time\tdB\t\r\n"
             "1\t2024/04/30 09:00:00\t66.0\t\r\n2\t2024/04/30 09:00:20\t70.4\t\r\n"
             "3\t2024/04/30 09:00:40\t84.7\t\r\n");
  const ToolRun run = Run({"convert", old, "-o", out});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "3 records written to " + out +
                "\nThe older memory set header was written in the \"Data Logger 2\" form.\n");
  EXPECT_EQ(ReadBytes(out), FormatListFile(MemorySet(), Separator::kTab));
}

TEST_F(SlmtoolFiles, MissingFileIsNamed) {
  const std::string missing = File("no-such-file.dlgr");
  ToolRun run = Run({"info", missing});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(missing), std::string::npos) << run.err;

  const std::string out = File("out.csv");
  run = Run({"convert", missing, "-o", out});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find(missing), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(SlmtoolFiles, UnwritableOutputIsNamed) {
  const std::string path = File("recording.dlgr");
  SaveRecordList(path, RealTimeList(), Separator::kTab);
  const std::string out = File("no-such-folder/out.csv");
  const ToolRun run = Run({"convert", path, "-o", out});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find(out), std::string::npos) << run.err;
}

TEST_F(SlmtoolFiles, ConvertWithoutAnOutputIsRefused) {
  const std::string path = File("recording.dlgr");
  SaveRecordList(path, RealTimeList(), Separator::kTab);
  const ToolRun run = Run({"convert", path});
  EXPECT_NE(run.exit_code, 0);
  EXPECT_NE(run.err.find("-o OUT"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace slm
