#pragma once

#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>

namespace slm {

inline constexpr const char* kSamplingChoiceCaption = "Sampling Rate";

// What the "Sampling" key sets.
enum class SamplingOption {
  kPc,              // how often the PC samples the level
  kMeter,           // the meter's own logger sampling time
  kLoggerInterval,  // the step between downloaded records, kept on the PC
};

// Asks which sampling to set. Modal in the program; it only reports the
// choice through on_ok when "OK" is pressed. Closed otherwise, nothing is
// reported.
class SamplingChoice : public QWidget {
 public:
  explicit SamplingChoice(QWidget* parent = nullptr);

  SamplingOption chosen() const;
  void CmdOKClicked();

  std::function<void(SamplingOption option)> on_ok;

  QRadioButton* OptPC = nullptr;
  QRadioButton* OptMeter = nullptr;
  QRadioButton* MDLIT_opt = nullptr;
  QPushButton* CmdOK = nullptr;
};

}  // namespace slm
