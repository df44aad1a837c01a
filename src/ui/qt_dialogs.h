#pragma once

#include <QPointer>
#include <QWidget>

#include "ui/dialogs.h"

namespace slm {

class QtDialogs : public Dialogs {
 public:
  void SetParent(QWidget* parent) { parent_ = parent; }
  void Message(const std::string& text, MessageIcon icon, const std::string& title) override;
  std::string Input(const std::string& prompt, const std::string& title,
                    const std::string& default_text) override;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace slm
