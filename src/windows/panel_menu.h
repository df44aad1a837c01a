#pragma once

// The panel's menu bar, its keyboard shortcuts and the files dropped on it
// (the Panel members are in panel_window.h, their bodies in panel_menu.cpp).

#include <string>

namespace slm {

// What Help > About (F1) says.
std::string PanelAboutText();

}  // namespace slm
