#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <string>
#include <vector>

#include "files/survey_file.h"

namespace slm {

// "Survey": the description of a survey as labelled boxes, one a field
// (TxtSite, TxtAddress ... TxtCalibratorSerial, TxtWeather), the remarks in
// a box of several lines (TxtRemarks). OK keeps what they hold; Esc and
// Cancel leave it. Fields of keys the program does not know are not shown and
// stay as they are.
class SurveyDialog : public QDialog {
 public:
  // `kept_in`: the side file it is kept in, or "" when it is kept by the
  // window only.
  SurveyDialog(const SurveyDescription& survey, const std::string& kept_in, QWidget* parent);

  // The description as the boxes hold it.
  SurveyDescription survey() const;

  std::vector<QLineEdit*> lines;  // in kSurveyFields's order, the remarks left out
  QPlainTextEdit* TxtRemarks = nullptr;
  QDialogButtonBox* Buttons = nullptr;

 private:
  SurveyDescription shown_;
};

}  // namespace slm
