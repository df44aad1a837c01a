#pragma once

// Runs the built slmtool as a user runs it, its output and errors caught in
// files of a folder.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace slm::test {

struct ToolRun {
  int exit_code = -1;  // -1 when it did not exit by itself
  std::string out;
  std::string err;
};

// Runs `program` with `args`; its output goes through files in `folder`.
inline ToolRun RunProgram(const std::string& program, std::vector<std::string> args,
                          const std::filesystem::path& folder) {
  const std::string out_path = (folder / "stdout.txt").string();
  const std::string err_path = (folder / "stderr.txt").string();
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& word : args) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (const auto& [fd, path] : {std::pair{1, &out_path}, std::pair{2, &err_path}}) {
    posix_spawn_file_actions_addopen(&actions, fd, path->c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
  }
  ToolRun run;
  pid_t pid = 0;
  int status = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
  run.out = ReadBytes(out_path);
  run.err = ReadBytes(err_path);
  return run;
}

#ifdef SLMTOOL_PATH
// slmtool run in a folder of the test's own.
class ToolTest : public ::testing::Test {
 protected:
  ToolRun Run(std::vector<std::string> args) {
    return RunProgram(SLMTOOL_PATH, std::move(args), dir_.path());
  }
  // Writes `bytes` into the file `name` of the folder; its path.
  std::string Write(const std::string& name, const std::string& bytes) {
    WriteBytes(dir_.File(name), bytes);
    return dir_.File(name);
  }
  TempDir dir_;
};
#endif

}  // namespace slm::test
