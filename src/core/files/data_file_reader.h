#pragma once

#include <cstddef>
#include <functional>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_io.h"
#include "files/progress.h"
#include "files/record.h"

namespace slm {

// How far a read has come, for the caption of the window that waits for it.
struct ReadProgress {
  std::size_t lines = 0;        // lines read so far
  std::size_t records = 0;      // records taken so far
  std::size_t bytes = 0;        // bytes read so far
  std::size_t total_bytes = 0;  // size of the file when known, else 0
  std::string caption;          // ReadCaption(lines): "348 Records Completed"
};

// Called a few times a second at most (the clock is looked at every
// kProgressLines lines) and once more when the read is done; returning false
// stops the read (the final call cannot stop it any more).
using ReadProgressFn = std::function<bool(const ReadProgress&)>;
inline constexpr std::size_t kProgressLines = 4096;

// A line longer than this is no record line: it is skipped and counted.
inline constexpr std::size_t kMaxLineBytes = 64 * 1024;
// A file with more bytes than this in lines that are no records is no list:
// reading it stops with an error rather than scanning without end (/dev/zero).
inline constexpr std::size_t kMaxSkippedBytes = 64 * 1024 * 1024;

// A stretch of zero bytes inside a file, where text was (a damaged card, a
// crash of the file system): the lines it cut are left out with it.
struct DamagedStretch {
  std::size_t bytes = 0;       // zero bytes
  std::size_t line = 0;        // the file's line (from 1) it begins in
  std::string before;          // the last record read before it: "40 (2024/05/01 10:00:39)"
  std::string after;           // the first record read after it, "" when none came
  std::size_t lines_lost = 0;  // record lines it took: by the records' numbers where they
                               // count on, else the lines it cut
};

// A data file as read.
struct DataFile {
  RecordList list;                       // the header, and the records unless read for a summary
  std::size_t records = 0;               // records read, whether kept in the list or not
  std::string title;                     // file name without its folder, the view's caption
  std::size_t lines = 0;                 // lines read, header lines included
  std::size_t skipped_lines = 0;         // record lines left out: those that split neither by tabs
                                         // nor by commas, those whose level is no level
                                         // (bad_levels), and the last line when it was cut off
                                         // (last_line_cut)
  std::size_t bad_levels = 0;            // of them, lines whose level is no level (IsLevelText)
  std::size_t first_bad_level_line = 0;  // the file's line (from 1) of the first of them
  std::string first_bad_level;           // and its level as QuotedExcerpt quotes it
  bool last_line_cut = false;            // the last line's level ran into the end of the file
  std::size_t damaged_bytes = 0;         // NUL bytes that ended the file (a power cut), left out
  std::vector<DamagedStretch> damage;    // zero bytes inside the file, and the lines they took
  bool truncated = false;                // records beyond kMaxRecords were left unread
  bool cancelled = false;                // the progress callback stopped the read
};

// Reads a data file of any of the four forms (or a CSV file we wrote) into a
// list. A line ends at CR LF, LF or CR. The first line decides the kind by what
// it contains: "Real Time", else "Data Logger 2", else "Data Logger", else a
// plain list whose first line is ignored. Record lines are split at tabs, or
// at commas when tabs do not split them, with quoted fields read as
// SplitQuotedFields does; lines that split neither way are counted and left out.
// So are lines whose level is no level (IsLevelText), and a last line
// without a line end whose level is not followed by its separator: the file
// was cut while it was written. NUL bytes from some point to the end of the
// file are a damaged end (a power cut): the lines before them are read, and
// damaged_bytes counts them. NUL bytes with text after them are a damaged
// stretch: the lines they cut are left out with them, the rest is read.
// Throws DataFileError naming the file when it cannot be opened or read, or
// holds no list (kMaxSkippedBytes of lines that are no records, or more than
// memory allows).
// A file of no bytes is refused as "<absolute path> is empty"; one of NUL bytes
// only as damaged; a file that is no regular file (a pipe, a device, a
// folder) at once, without reading it; a plain list without any record line,
// or a file with zero bytes inside that are no damage (binary content) or
// with no record around them, as "<absolute path> is not a data file: no
// record line found".
DataFile OpenDataFile(const std::string& path, const ReadProgressFn& progress = {});
// The same without keeping the records: the header, the counts and the notes
// of what was left out, as OpenDataFile gives them, for a summary of a file
// of any size in little memory and time (`slmtool info`).
DataFile ReadDataFileSummary(const std::string& path);
// Refuses what OpenDataFile(path) read when it is no list (see there): throws
// DataFileError. `bytes`: the bytes read; `binary`: they held NUL bytes that
// are no damage (NulRuns::binary).
void CheckDataFileContent(const std::string& path, const DataFile& file, std::size_t bytes,
                          bool binary);
// The same from a stream; `title` names it in the result and in errors.
DataFile OpenDataFile(std::istream& in, const std::string& title,
                      const ReadProgressFn& progress = {});

// The kind of list a file's first line announces.
ListKind KindOfFirstLine(std::string_view line);

// Splits a record line into its three fields, at tabs or else at commas, and
// tells whether it could. Blanks before the line are dropped. A separator after
// the third field is optional (`level_ended`, when given, tells whether it was
// there); fields after the third are ignored. Quoted fields lose their quotes.
bool SplitRecordLine(std::string_view line, Record& fields, bool* level_ended = nullptr);

// A header value of a line: the item from the line's k-th character (1-based,
// counted from the line's first character), as HeaderItem takes it.
std::string HeaderValueFrom(std::string_view line, std::size_t k);

}  // namespace slm
