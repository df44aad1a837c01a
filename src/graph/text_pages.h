#pragma once

#include <QFont>
#include <QPagedPaintDevice>
#include <functional>
#include <string>
#include <vector>

namespace slm {

// The font of printed text reports: Lucida Console at 8 points where it is
// installed, else the system's fixed-width font at 8 points.
QFont ReportFont();

// Paints `lines` (single-byte texts, as the files hold them) from the top of
// the device's first page down, one line per line height of `font`, and
// starts a new page when the next line would not fit. Returns the pages
// painted, 0 when painting could not start. `on_page` hears of each page
// begun, so that a long report can show its progress and keep the program alive.
int PaintTextPages(QPagedPaintDevice& device, const std::vector<std::string>& lines,
                   const QFont& font, const std::function<void(int page)>& on_page = {});

}  // namespace slm
