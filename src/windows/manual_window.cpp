#include "windows/manual_window.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>

#include "ui/keyboard.h"
#include "windows/placement.h"

namespace slm {

ManualWindow::ManualWindow(QWidget* parent) : QTextBrowser(parent) {
  setObjectName("Manual");
  setWindowTitle("slmpanel Manual");
  setOpenExternalLinks(true);
  QFile manual(":/manual/manual.md");
  if (manual.open(QIODevice::ReadOnly)) {
    setMarkdown(QString::fromUtf8(manual.readAll()));
  } else {
    setPlainText("The manual is missing from this build of slmpanel.");
  }
  // Never narrower than a readable column of text.
  setMinimumSize(fontMetrics().averageCharWidth() * 40, fontMetrics().lineSpacing() * 12);
  AddCloseKeys(*this);
}

void ShowManual(std::unique_ptr<ManualWindow>& manual, const QWidget& near) {
  if (!manual) manual = std::make_unique<ManualWindow>();
  const QWidget* modal = QApplication::activeModalWidget();
  const Qt::WindowModality modality = modal == manual.get() ? manual->windowModality()
                                      : modal != nullptr    ? Qt::ApplicationModal
                                                            : Qt::NonModal;
  const bool opening = !manual->isVisible() || manual->windowModality() != modality;
  if (opening) {
    // Modality takes effect as a window is shown.
    manual->hide();
    manual->setWindowModality(modality);
  }
  manual->show();
  if (opening) {
    // Some 90 characters a line and a tall page, cut down to the screen.
    const QFontMetrics metrics = manual->fontMetrics();
    PlaceOnScreen(*manual, near,
                  QSize(metrics.averageCharWidth() * 90, metrics.lineSpacing() * 48));
  }
  manual->raise();
  manual->activateWindow();
}

ManualKey::ManualKey(std::function<void(const QWidget& window)> show) : show_(std::move(show)) {
  QCoreApplication::instance()->installEventFilter(this);
}

bool ManualKey::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<const QKeyEvent*>(event);
  const auto* widget = qobject_cast<const QWidget*>(watched);
  if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || widget == nullptr) {
    return false;
  }
  show_(*widget->window());
  return true;
}

}  // namespace slm
