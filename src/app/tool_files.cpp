// `slmtool info` and `slmtool convert`: data files from a shell, read and
// written by the same code as the windows' Open and Save.
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/tool_shell.h"
#include "files/data_file_reader.h"
#include "files/data_file_writer.h"
#include "files/file_io.h"
#include "files/list_summary.h"

namespace slm::tool {

int RunInfo(const std::vector<std::string>& args) {
  const Options options(args, {}, {});
  if (options.positional().size() != 1) throw std::runtime_error("info takes one FILE");
  DataFile file;
  // The records themselves are not kept: a summary of any file is quick.
  if (!ReadListFile("info", options.positional()[0], file, true)) return 1;
  for (const std::string& line : DataFileSummary(file)) std::printf("%s\n", line.c_str());
  return 0;
}

int RunConvert(const std::vector<std::string>& args) {
  const Options options(args, {"--output"}, {});
  const std::vector<std::string> outputs = options.All("--output");
  if (options.positional().size() != 1 || outputs.size() != 1 || outputs[0].empty()) {
    throw std::runtime_error("convert takes one FILE and one -o OUT");
  }
  const std::string& path = options.positional()[0];
  const std::string& out_path = outputs[0];
  RefuseWritingOverInputs(out_path, {path});

  DataFile file;
  if (!ReadListFile("convert", path, file)) return 1;
  if (file.lines == 0) {
    std::fprintf(stderr, "slmtool convert: \"%s\" is empty: it holds no list\n", path.c_str());
    return 1;
  }

  const Separator separator = IsCsvPath(out_path) ? Separator::kComma : Separator::kTab;
  try {
    SaveRecordList(out_path, file.list, separator);
  } catch (const DataFileError& e) {
    std::fprintf(stderr, "slmtool convert: %s\n", e.what());
    return 1;
  }
  std::printf("%zu records written to %s\n", file.list.size(), out_path.c_str());
  if (file.list.kind() == ListKind::kDataLogger) {
    std::printf("The older memory set header was written in the \"Data Logger 2\" form.\n");
  }
  return 0;
}

}  // namespace slm::tool
