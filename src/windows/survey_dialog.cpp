#include "windows/survey_dialog.h"

#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cctype>
#include <set>

#include "qt/widget_text.h"

namespace slm {

namespace {

// `caption` with "&" before its first letter that no other control has
// taken; OK and Cancel take O and C.
QString WithMnemonic(const std::string& caption, std::set<char>& taken) {
  for (std::size_t i = 0; i < caption.size(); ++i) {
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(caption[i])));
    if (std::isalpha(static_cast<unsigned char>(letter)) && taken.insert(letter).second) {
      return Latin1(caption.substr(0, i)) + '&' + Latin1(caption.substr(i));
    }
  }
  return Latin1(caption);
}

// "meter_serial" gives "TxtMeterSerial".
std::string BoxName(const char* json) {
  std::string name = "Txt";
  for (bool upper = true; *json != '\0'; ++json) {
    if (*json == '_') {
      upper = true;
      continue;
    }
    name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*json))) : *json;
    upper = false;
  }
  return name;
}

std::string Typed(const QString& text) { return text.trimmed().toLatin1().toStdString(); }

}  // namespace

SurveyDialog::SurveyDialog(const SurveyDescription& survey, const std::string& kept_in,
                           QWidget* parent)
    : QDialog(parent), shown_(survey) {
  setObjectName("Survey");
  setWindowTitle("Survey");
  auto* root = new QVBoxLayout(this);
  auto* where = Named<QLabel>(
      "LblKeptIn",
      kept_in.empty()
          ? QString("This set has no file: the description is kept in this window only.")
          : "Kept in " + Latin1(kept_in) + ", beside the data.",
      this);
  where->setWordWrap(true);
  root->addWidget(where);
  auto* form = new QFormLayout;
  std::set<char> taken = {'o', 'c'};
  for (const SurveyField& field : kSurveyFields) {
    QWidget* box = nullptr;
    const QString text = Latin1(survey.*field.member);
    if (field.member == &SurveyDescription::remarks) {
      TxtRemarks = Named<QPlainTextEdit>("TxtRemarks", this);
      TxtRemarks->setPlainText(text);
      // Tab goes on to the buttons; Return starts a new line of the remarks.
      TxtRemarks->setTabChangesFocus(true);
      TxtRemarks->setFixedHeight(TxtRemarks->fontMetrics().lineSpacing() * 5 + 12);
      box = TxtRemarks;
    } else {
      auto* line = Named<QLineEdit>(BoxName(field.json).c_str(), text, this);
      line->setMinimumWidth(line->fontMetrics().horizontalAdvance('x') * 48);
      lines.push_back(line);
      box = line;
    }
    box->setAccessibleName(field.key);
    auto* label = new QLabel(WithMnemonic(field.key, taken), this);
    label->setBuddy(box);
    form->addRow(label, box);
  }
  root->addLayout(form);
  Buttons =
      Named<QDialogButtonBox>("Buttons", QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QObject::connect(Buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  QObject::connect(Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  root->addWidget(Buttons);
}

SurveyDescription SurveyDialog::survey() const {
  SurveyDescription typed = shown_;
  std::size_t line = 0;
  for (const SurveyField& field : kSurveyFields) {
    if (field.member == &SurveyDescription::remarks) {
      typed.*field.member = Typed(TxtRemarks->toPlainText());
    } else {
      typed.*field.member = Typed(lines[line++]->text());
    }
  }
  return typed;
}

}  // namespace slm
