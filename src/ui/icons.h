#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

namespace slm {

// Icons drawn at run time, so the program ships no image files.
enum class Glyph { kPlay, kPause, kStop, kArrowUp, kArrowDown, kClock, kChip, kErase, kRefresh };

// A square icon with a short text (such as "A/C") on a rounded tile.
QIcon TextIcon(const QString& text, const QColor& tile);
// A square icon with a drawn symbol.
QIcon GlyphIcon(Glyph glyph, const QColor& color);
QPixmap GlyphPixmap(Glyph glyph, const QColor& color, int size);

}  // namespace slm
