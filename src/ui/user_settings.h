#pragma once

#include <map>
#include <string>
#include <vector>

namespace slm {

// What the windowed program remembers from one run to the next, kept in the
// user's settings under these names. Each call reads or writes them afresh,
// so that two panels running at once see each other's changes. The values
// typed for sampling are not kept: each run starts from the meter's own.
inline constexpr const char* kSettingsOrganisation = "slmpanel";
inline constexpr const char* kSettingsApplication = "slmpanel";

// The device of the port chosen last; empty when none was.
std::string RememberedPortDevice();
void RememberPortDevice(const std::string& device);

// The folder the file dialogs were last used in; empty when none was.
std::string RememberedFileFolder();
void RememberFileFolder(const std::string& folder);

// The recent files as they were kept (RecentFiles reads them).
std::vector<std::string> RememberedRecentFiles();
void RememberRecentFiles(const std::vector<std::string>& paths);

// The Assessment window's settings as it last worked the figures out for
// them, each as text under its name; none before the window was first used.
std::map<std::string, std::string> RememberedAssessmentSettings();
void RememberAssessmentSettings(const std::map<std::string, std::string>& settings);

// Where the settings are kept (a file, except on Windows).
std::string SettingsLocation();

}  // namespace slm
