#pragma once

#include <QIcon>
#include <QStyle>
#include <string_view>

namespace slm {

// The panel's look: the meter's dark face and its green display, the
// boards, the save box; and the pictures of its toolbar's buttons.
extern const char* const kPanelStyle;
QIcon PanelToolbarIcon(std::string_view key, const QStyle* style);

}  // namespace slm
