#pragma once

#include <QString>

namespace slm::test {

// The window tests keep the program's settings in a folder of the test run's
// own (window_test_main.cpp), and every test starts with none.
QString TestSettingsFolder();
// Where the user's own settings are: no test may write there.
QString UserConfigFolder();

}  // namespace slm::test
