#include "ui/keep_alive.h"

#include <QCoreApplication>

namespace slm {

void KeepAlive() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace slm
