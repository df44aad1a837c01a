#include "ui/user_settings.h"

#include <QSettings>
#include <QStringList>

namespace slm {

namespace {

constexpr const char* kPortDevice = "port/device";
constexpr const char* kFileFolder = "files/folder";
constexpr const char* kRecentFiles = "files/recent";
constexpr const char* kAssessment = "assessment";

std::string Read(const char* key) {
  const QSettings settings(kSettingsOrganisation, kSettingsApplication);
  return settings.value(key).toString().toStdString();
}

void Write(const char* key, const QVariant& value) {
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  settings.setValue(key, value);
}

}  // namespace

std::string RememberedPortDevice() { return Read(kPortDevice); }

void RememberPortDevice(const std::string& device) {
  Write(kPortDevice, QString::fromStdString(device));
}

std::string RememberedFileFolder() { return Read(kFileFolder); }

void RememberFileFolder(const std::string& folder) {
  Write(kFileFolder, QString::fromStdString(folder));
}

std::vector<std::string> RememberedRecentFiles() {
  const QSettings settings(kSettingsOrganisation, kSettingsApplication);
  std::vector<std::string> paths;
  for (const QString& path : settings.value(kRecentFiles).toStringList()) {
    paths.push_back(path.toStdString());
  }
  return paths;
}

void RememberRecentFiles(const std::vector<std::string>& paths) {
  QStringList list;
  for (const std::string& path : paths) list << QString::fromStdString(path);
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  if (list.isEmpty()) {
    settings.remove(kRecentFiles);
  } else {
    settings.setValue(kRecentFiles, list);
  }
}

std::map<std::string, std::string> RememberedAssessmentSettings() {
  QSettings settings(kSettingsOrganisation, kSettingsApplication);
  settings.beginGroup(kAssessment);
  std::map<std::string, std::string> kept;
  for (const QString& key : settings.childKeys()) {
    kept[key.toStdString()] = settings.value(key).toString().toStdString();
  }
  return kept;
}

void RememberAssessmentSettings(const std::map<std::string, std::string>& settings) {
  QSettings kept(kSettingsOrganisation, kSettingsApplication);
  kept.beginGroup(kAssessment);
  for (const auto& [key, value] : settings) {
    kept.setValue(QString::fromStdString(key), QString::fromStdString(value));
  }
}

std::string SettingsLocation() {
  return QSettings(kSettingsOrganisation, kSettingsApplication).fileName().toStdString();
}

}  // namespace slm
