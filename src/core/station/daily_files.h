#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "live/pc_recorder.h"
#include "platform/files.h"

namespace slm {

// The day's file a station writes its samples to: "YYYY-MM-DD.dlgr" in its
// folder, or "YYYY-MM-DD-2.dlgr", "-3"... when that name is taken (a restart
// on the same day): never over a file that is there. It is a real-time list,
// the form of a PC recording, whole and readable at any moment: its header
// lines come first (the meter's settings; the running values are filled in
// when the file is closed), then each sample's line as it is taken. The
// system has each line when Append returns, so a killed program loses
// nothing; Sync puts them on the disk itself, so a power cut loses only what
// came since. The file is held (a lock of the system) while it is written.
class DailyFile {
 public:
  // Creates the day's file for `day` (any time of that calendar day) in
  // `dir`. Throws DataFileError when it cannot be created.
  DailyFile(const std::string& dir, std::int64_t day, int period, const PanelCaptions& captions);
  // Lets go of the file as it is: readable, its header without running values.
  ~DailyFile();
  DailyFile(const DailyFile&) = delete;
  DailyFile& operator=(const DailyFile&) = delete;

  // Writes one sample's line. Throws DataFileError when it cannot (a full
  // disk): the file then still ends with the last whole line.
  void Append(std::int64_t time, std::string_view level_text, double level);
  // Puts what was written on the disk. Throws DataFileError.
  void Sync();
  // Writes the header with the samples' Leq, SEL and maximum and lets go of
  // the file. Throws DataFileError; the file then stays as it was.
  void Close();

  const std::string& path() const { return path_; }
  std::int64_t day() const { return day_; }  // midnight of its day
  const PanelCaptions& captions() const { return captions_; }
  std::size_t records() const { return records_; }

 private:
  void Write(std::string_view data);

  std::string path_;
  std::int64_t day_;
  int period_;
  PanelCaptions captions_;
  platform::HeldFile file_;
  long long size_ = 0;          // bytes of whole lines
  long long header_bytes_ = 0;  // of the header lines before the title line
  std::size_t records_ = 0;
  RunningValues values_;
};

// "YYYY-MM-DD.dlgr" of the calendar day of `time`.
std::string DailyFileName(std::int64_t time);

}  // namespace slm
