#pragma once

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "analysis/level_statistics.h"
#include "files/record.h"
#include "ui/dialogs.h"
#include "ui/record_table.h"

namespace slm {

// A record list as a table with its result labels. FileList shows a memory
// set read from a file, FileListReal a PC recording or a plain list, DataList
// a set downloaded from the meter.
class RecordListWindow : public QWidget {
 public:
  enum class Kind { kFileList, kFileListReal, kDataList };

  RecordListWindow(Kind kind, Dialogs& dialogs, QWidget* parent = nullptr);

  // Shows `list`: its records in the table and its header values in the
  // result labels. `notes` say what of the file was not read (a damaged end,
  // skipped lines); the window shows them below the table when there are any.
  void Load(RecordList list, const std::string& caption,
            const std::vector<std::string>& notes = {});

  Kind kind() const { return kind_; }
  const RecordList& list() const { return list_; }
  // The file the list was read from or saved to; empty for a downloaded set
  // not yet saved.
  const std::string& path() const { return path_; }
  void SetPath(const std::string& path) { path_ = path; }
  // What of the file was not read, as Load was told.
  const std::vector<std::string>& notes() const { return notes_; }
  void ToolbarClicked(const QString& key);
  // DataList "Save": the set with the meter's results as a data file or CSV.
  void SaveClicked();

  // "Plot": draws the list's levels in the Plot window.
  std::function<void(const RecordList& list)> on_plot;
  // "0.1 dB" and "1 dB": the list's level statistics and histogram.
  std::function<void(StatResolution resolution)> on_statistics;
  // "Print": the list's report.
  std::function<void()> on_print;
  // "Assess": the list in an Assessment window.
  std::function<void()> on_assess;

  // The set field of a downloaded set (written after "SET " when saved).
  std::string set_field;

  QToolBar* Toolbar1 = nullptr;
  RecordTable* GridN = nullptr;
  RecordTableModel* GridModel = nullptr;
  QLabel* BoardCA = nullptr;
  QLabel* BoardSFI = nullptr;
  QLabel* BoardLevel = nullptr;
  QLabel* BoardMaxdB = nullptr;
  QLabel* BoardMaxTime = nullptr;
  QLabel* BoardPeakdB = nullptr;
  QLabel* BoardPeakTime = nullptr;
  QLabel* Board05 = nullptr;
  QLabel* Board10 = nullptr;
  QLabel* Board50 = nullptr;
  QLabel* Board90 = nullptr;
  QLabel* Board95 = nullptr;
  QLabel* BoardLeq = nullptr;
  QLabel* BoardSEL = nullptr;
  QWidget* PicResolution = nullptr;
  QPushButton* Cmd01dB = nullptr;
  QPushButton* Cmd1dB = nullptr;
  QLabel* LblSkipped = nullptr;

 private:
  QLabel* AddBoard(QWidget* box_parent, QGridLayout* grid, int row, const char* frame,
                   const char* caption, const char* name);

  Kind kind_;
  Dialogs& dialogs_;
  RecordList list_;
  std::string path_;
  std::vector<std::string> notes_;
};

class FileList : public RecordListWindow {
 public:
  explicit FileList(Dialogs& dialogs, QWidget* parent = nullptr)
      : RecordListWindow(Kind::kFileList, dialogs, parent) {}
};

class FileListReal : public RecordListWindow {
 public:
  explicit FileListReal(Dialogs& dialogs, QWidget* parent = nullptr)
      : RecordListWindow(Kind::kFileListReal, dialogs, parent) {}
};

class DataList : public RecordListWindow {
 public:
  explicit DataList(Dialogs& dialogs, QWidget* parent = nullptr)
      : RecordListWindow(Kind::kDataList, dialogs, parent) {}
};

}  // namespace slm
