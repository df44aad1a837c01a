#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/user_settings.h"

namespace slm {

namespace {

QMessageBox::Icon QtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kCritical:
      return QMessageBox::Critical;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case MessageIcon::kInformation:
      break;
  }
  return QMessageBox::Information;
}

// A box speaks for the window the user is in: it carries that window's
// title, unless a caller named its own.
QString BoxTitle(const std::string& title) {
  const QWidget* active = QApplication::activeWindow();
  if (title == kDefaultDialogTitle && active != nullptr &&
      qobject_cast<const QMessageBox*>(active) == nullptr && !active->windowTitle().isEmpty()) {
    return active->windowTitle();
  }
  return QString::fromLatin1(title.c_str());
}

}  // namespace

void QtDialogs::Message(const std::string& text, MessageIcon icon, const std::string& title) {
  QMessageBox box(QtIcon(icon), BoxTitle(title), QString::fromLatin1(text.c_str()), QMessageBox::Ok,
                  parent_);
  box.exec();
}

void QtDialogs::Notice(const std::string& text, MessageIcon icon, const std::string& title) {
  if (notice_ == nullptr) {
    notice_ = new QMessageBox(parent_);
    notice_->setStandardButtons(QMessageBox::Ok);
    notice_->setAttribute(Qt::WA_DeleteOnClose);
    notice_->setWindowModality(Qt::NonModal);
  }
  notice_->setIcon(QtIcon(icon));
  notice_->setWindowTitle(BoxTitle(title));
  notice_->setText(QString::fromLatin1(text.c_str()));
  notice_->show();
}

bool QtDialogs::Ask(const std::string& text, const std::string& title) {
  return QMessageBox::question(parent_, BoxTitle(title), QString::fromLatin1(text.c_str()),
                               QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
BusyCursor::~BusyCursor() { QApplication::restoreOverrideCursor(); }

QStringList QtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromLatin1(filter.c_str()).split('|', Qt::SkipEmptyParts);
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) out << parts[i];
  return out;
}

namespace {

// The suffix of a filter such as "Data Files (*.csv)", or "" for "*.*".
QString SuffixOf(const QString& name_filter) {
  const int star = name_filter.indexOf("*.");
  if (star < 0) return {};
  QString suffix = name_filter.mid(star + 2);
  suffix.truncate(suffix.indexOf(')'));
  return suffix == "*" ? QString() : suffix;
}

// The file dialogs start where the user last picked a file, while that
// folder is there.
void StartInLastFolder(QFileDialog& dialog) {
  const QString folder = QString::fromStdString(RememberedFileFolder());
  if (!folder.isEmpty() && QFileInfo(folder).isDir()) dialog.setDirectory(folder);
}

void RememberFolderOf(const std::string& path) {
  RememberFileFolder(QFileInfo(QString::fromStdString(path)).absolutePath().toStdString());
}

}  // namespace

FileChoice QtDialogs::SaveFile(const std::string& filter) {
  QFileDialog dialog(parent_, "Save As");
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = QtNameFilters(filter);
  dialog.setNameFilters(filters);
  dialog.selectNameFilter(filters.value(0));
  dialog.setDefaultSuffix(SuffixOf(filters.value(0)));
  StartInLastFolder(dialog);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog](const QString& f) { dialog.setDefaultSuffix(SuffixOf(f)); });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  FileChoice choice;
  choice.path = QFileInfo(dialog.selectedFiles().first()).absoluteFilePath().toStdString();
  choice.filter_index = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  RememberFolderOf(choice.path);
  return choice;
}

FileChoice QtDialogs::OpenFile(const std::string& filter) {
  QFileDialog dialog(parent_, "Open File To Read");
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  const QStringList filters = QtNameFilters(filter);
  dialog.setNameFilters(filters);
  StartInLastFolder(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  FileChoice choice;
  choice.path = dialog.selectedFiles().first().toStdString();
  choice.filter_index = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  RememberFolderOf(choice.path);
  return choice;
}

std::vector<std::string> QtDialogs::OpenFiles(const std::string& filter) {
  QFileDialog dialog(parent_, "Open Files To Assess");
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  dialog.setNameFilters(QtNameFilters(filter));
  StartInLastFolder(dialog);
  if (dialog.exec() != QDialog::Accepted) return {};
  std::vector<std::string> paths;
  for (const QString& path : dialog.selectedFiles()) paths.push_back(path.toStdString());
  if (!paths.empty()) RememberFolderOf(paths.front());
  return paths;
}

std::string QtDialogs::Input(const std::string& prompt, const std::string& title,
                             const std::string& default_text) {
  return InputOrCancel(prompt, title, default_text).value_or(std::string());
}

std::optional<std::string> QtDialogs::InputOrCancel(const std::string& prompt,
                                                    const std::string& title,
                                                    const std::string& default_text) {
  bool ok = false;
  const QString text = QInputDialog::getText(parent_, QString::fromLatin1(title.c_str()),
                                             QString::fromLatin1(prompt.c_str()), QLineEdit::Normal,
                                             QString::fromLatin1(default_text.c_str()), &ok);
  if (!ok) return std::nullopt;
  return text.toLatin1().toStdString();
}

}  // namespace slm
