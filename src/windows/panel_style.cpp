#include "windows/panel_style.h"

#include "ui/icons.h"

namespace slm {

const char* const kPanelStyle = R"(
  #Face { background: #2b2f36; border-radius: 14px; }
  #Face QLabel { color: #cfd6dc; }
  #Lcd { background: #0f1a14; border: 2px solid #3c4a40; border-radius: 8px; }
  #Lcd QLabel { color: #33ff99; }
  #Lcd QLabel[indicator="true"] { font-weight: bold; font-size: 15px; padding: 1px 6px;
      border: 1px solid #1f5a3c; border-radius: 4px; }
  #LblOver, #LblUnder { color: #ff5555; border-color: #7a2222; }
  #ShownLCD { font-size: 15px; color: #2fbf7f; }
  #LblBarMax, #LblBarMin { color: #cfd6dc; font-size: 13px; }
  #Face QPushButton { background: #454b55; color: #f0f2f4; border: 1px solid #5a616c;
      border-radius: 7px; padding: 4px 2px; font-size: 12px; font-weight: bold; }
  #Face QPushButton:pressed { background: #2e333a; }
  #Face QPushButton:focus { border: 2px solid #ffd54a; }
  #Face QRadioButton:focus { color: #ffd54a; }
  #Face QPushButton:disabled { color: #8a9099; }
  #SoundBar { border: 1px solid #3c4a40; border-radius: 4px; background: #0f1a14; height: 22px; }
  #SoundBar::chunk { background: qlineargradient(x1:0, y1:0, x2:1, y2:0,
      stop:0 #1fa060, stop:0.7 #e0c030, stop:1 #e04040); }
  #LblCOM { color: #cfd6dc; font-weight: bold; }
  #OfflineSSPL { background: #b3541e; color: white; font-weight: bold; padding: 4px 10px;
      border-radius: 6px; }
  QGroupBox { font-weight: bold; }
  #Face QGroupBox { color: #e8ecef; border: 1px solid #5a616c; border-radius: 6px;
      margin-top: 1.3em; padding: 2px 6px 2px 6px; }
  #Face QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;
      left: 8px; padding: 0 4px; }
  #Face QRadioButton { color: #e8ecef; }
  #PicSave { background: #eef2f5; }
  #PicSave QRadioButton { color: #1b2530; }
  #LblRec { color: white; background: #c62828; border-radius: 5px; padding: 2px 8px;
      font-weight: bold; }
  QLabel[board="true"] { font-size: 20px; font-weight: bold; color: #1b2530; background: #eef2f5;
      border: 1px solid #c9d2da; border-radius: 5px; padding: 4px; }
)";

QIcon PanelToolbarIcon(std::string_view key, const QStyle* style) {
  const QColor blue(0x2f, 0x6f, 0xb0);
  const QColor teal(0x1f, 0x8a, 0x80);
  const QColor grey(0x4a, 0x55, 0x60);
  if (key == "Save") return style->standardIcon(QStyle::SP_DialogSaveButton);
  if (key == "Open") return style->standardIcon(QStyle::SP_DialogOpenButton);
  if (key == "Sampling") return TextIcon("1/s", teal);
  if (key == "AC") return TextIcon("A/C", blue);
  if (key == "FSI") return TextIcon("FSI", blue);
  if (key == "Up") return GlyphIcon(Glyph::kArrowUp, blue);
  if (key == "Down") return GlyphIcon(Glyph::kArrowDown, blue);
  if (key == "RTC") return GlyphIcon(Glyph::kClock, grey);
  if (key == "Memory") return GlyphIcon(Glyph::kChip, grey);
  if (key == "Erase") return GlyphIcon(Glyph::kErase, QColor(0xb0, 0x3a, 0x2e));
  return GlyphIcon(Glyph::kRefresh, teal);
}

}  // namespace slm
