#include "ui/qt_dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

namespace slm {

void QtDialogs::Message(const std::string& text, MessageIcon icon, const std::string& title) {
  QMessageBox::Icon qicon = QMessageBox::Information;
  switch (icon) {
    case MessageIcon::kCritical:
      qicon = QMessageBox::Critical;
      break;
    case MessageIcon::kQuestion:
      qicon = QMessageBox::Question;
      break;
    case MessageIcon::kExclamation:
      qicon = QMessageBox::Warning;
      break;
    case MessageIcon::kInformation:
      qicon = QMessageBox::Information;
      break;
  }
  QMessageBox box(qicon, QString::fromLatin1(title.c_str()), QString::fromLatin1(text.c_str()),
                  QMessageBox::Ok, parent_);
  box.exec();
}

std::string QtDialogs::Input(const std::string& prompt, const std::string& title,
                             const std::string& default_text) {
  bool ok = false;
  const QString text = QInputDialog::getText(parent_, QString::fromLatin1(title.c_str()),
                                             QString::fromLatin1(prompt.c_str()), QLineEdit::Normal,
                                             QString::fromLatin1(default_text.c_str()), &ok);
  return ok ? text.toLatin1().toStdString() : std::string();
}

}  // namespace slm
