#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "files/progress.h"
#include "files/record.h"

namespace slm {

// Every line of every file we write ends so.
inline constexpr std::string_view kLineEnd = "\r\n";

// The title texts of the three columns, row 0 of the grids.
inline constexpr std::string_view kNumberTitle = "No.s";
inline constexpr std::string_view kDateTimeTitle = "Date Time";
inline constexpr std::string_view kLevelTitle = "dB";

// The field separator of title and record lines: tab in data files, comma in CSV files.
enum class Separator : char { kTab = '\t', kComma = ',' };

// The save dialog's filter index as a separator: 2 (".csv") gives the comma,
// 1 (".dlgr") and 3 (all files) the tab.
Separator SeparatorForFilter(int filter_index);

// How far the writing of a list has come, for the caption of its window.
struct WriteProgress {
  std::size_t row = 0;   // grid rows written: 1 after the first record
  std::size_t rows = 0;  // records in the list
  std::string caption;   // WriteCaption(row): "348Records Completed"
};

// Called a few times a second at most while records are written, and always
// once at the end (with `row` == `rows`).
using WriteProgressFn = std::function<void(const WriteProgress&)>;

// Appends the header lines of a list of `header.kind`: the 9 lines of a
// real-time list, the 14 lines of a memory set, nothing for a plain list. An
// older memory set is written in the current "Data Logger 2" form, as nothing
// writes the older one; a memory set's note follows "Data Logger 2" on its
// first line. A value that holds a quote or a line end is quoted as
// AppendHeaderItem does.
void AppendHeaderLines(const ListHeader& header, std::string& out);

// Appends the title line and one line per record as a grid is saved: every
// field followed by the separator, so each line ends with a tab or a comma.
// Fields are quoted as AppendField does when they hold the separator, a quote
// or a line end.
void WriteRecordRows(const RecordList& list, Separator separator, std::string& out,
                     const WriteProgressFn& progress = {});

// The whole text of a list's data file (tab) or CSV file (comma): header lines
// for its kind, then WriteRecordRows.
std::string FormatListFile(const RecordList& list, Separator separator);

// Saves a list as a data file or CSV file, replacing `path`. Throws
// DataFileError naming the file when it cannot be written.
void SaveRecordList(const std::string& path, const RecordList& list, Separator separator,
                    const WriteProgressFn& progress = {});

// The panel list's automatic save at the list limit: the title line and the
// records, tab-separated, without header lines whatever the list's kind.
void SavePlainList(const std::string& path, const RecordList& list,
                   const WriteProgressFn& progress = {});

}  // namespace slm
