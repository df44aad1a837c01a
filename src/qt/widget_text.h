#pragma once

#include <QObject>
#include <QString>
#include <string>
#include <string_view>
#include <utility>

namespace slm {

// The program's texts are single-byte, as its files are; Qt sees them here.
inline QString Latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// A control named as the program names it: the name is its objectName, so
// that tests and accessibility tools find it.
template <typename T, typename... Args>
T* Named(const char* name, Args&&... args) {
  T* control = new T(std::forward<Args>(args)...);
  control->setObjectName(name);
  return control;
}

}  // namespace slm
