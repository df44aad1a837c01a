#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "ui/dialogs.h"

namespace slm {

// Shows the busy pointer while it lives.
class BusyCursor {
 public:
  BusyCursor();
  ~BusyCursor();
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

// "Data Files (*.dlgr)|*.dlgr|All Files (*.*)|*.*|" as Qt's name filters.
QStringList QtNameFilters(const std::string& filter);

class QtDialogs : public Dialogs {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }
  void Message(const std::string& text, MessageIcon icon, const std::string& title) override;
  // One notice box at a time: a new notice replaces the text of one still on
  // show, so that a week of a flaky meter does not pile up windows.
  void Notice(const std::string& text, MessageIcon icon, const std::string& title) override;
  bool Ask(const std::string& text, const std::string& title) override;
  FileChoice SaveFile(const std::string& filter) override;
  FileChoice OpenFile(const std::string& filter) override;
  std::vector<std::string> OpenFiles(const std::string& filter) override;
  std::string Input(const std::string& prompt, const std::string& title,
                    const std::string& default_text) override;
  std::optional<std::string> InputOrCancel(const std::string& prompt, const std::string& title,
                                           const std::string& default_text) override;

 private:
  QPointer<QWidget> parent_;
  QPointer<QMessageBox> notice_;
};

}  // namespace slm
