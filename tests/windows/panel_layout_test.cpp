// The panel as it looks on small and large screens.
#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

#include "support/layout_check.h"
#include "support/sample_lists.h"
#include "windows/assessment_window.h"
#include "windows/histogram_window.h"
#include "windows/memory_window.h"
#include "windows/panel_fixture.h"
#include "windows/port_window.h"
#include "windows/record_list_window.h"
#include "windows/sampling_choice.h"
#include "windows/setup_window.h"
#include "windows/time_plot_window.h"

namespace slm::test {
namespace {

TEST(LayoutCheck, FindsOverlapsStrayControlsAndCutTexts) {
  QWidget window;
  window.resize(300, 200);
  auto* a = new QLabel("a", &window);
  a->setGeometry(0, 0, 100, 30);
  auto* b = new QLabel("b", &window);
  b->setGeometry(50, 10, 100, 30);
  auto* cut = new QLabel("a caption far too long for its room", &window);
  cut->setGeometry(0, 100, 40, 30);
  auto* button = new QPushButton("Run Pause Stop", &window);
  button->setGeometry(0, 150, 30, 30);
  auto* stray = new QLabel("x", &window);
  stray->setGeometry(280, 190, 50, 30);
  window.show();
  std::vector<std::string> kinds;
  for (const std::string& fault : LayoutFaults(window))
    kinds.push_back(fault.substr(0, fault.find(':')));
  std::sort(kinds.begin(), kinds.end());
  EXPECT_EQ(kinds,
            (std::vector<std::string>{"cut caption", "cut text", "outside its parent", "overlap"}));
  b->move(150, 10);
  cut->resize(280, 30);
  button->resize(button->minimumSizeHint());
  stray->move(200, 160);
  EXPECT_EQ(LayoutFaults(window), std::vector<std::string>{});
}

class PanelLayout : public RunningPanelTest {
 protected:
  void ShowAt(int width, int height) {
    panel_->show();
    panel_->resize(width, height);
    QApplication::processEvents();
  }
  std::string Faults() { return LayoutFaultText(*panel_); }
  QWidget& Widget(const char* name) { return *Find<QWidget>(*panel_, name); }
};

// Nothing cut or overlapping, and never a horizontal scroll bar: the panel
// fits a small screen; at 800 px the charts go below the face, and a screen
// lower than the panel scrolls its body down, which keeps its least size;
// wide again, it scrolls no more.
TEST_F(PanelLayout, FitsEachScreenWithNothingCutOrOverlapping) {
  EXPECT_LE(panel_->minimumSizeHint().width(), 1024);
  EXPECT_LE(panel_->minimumSizeHint().height(), 600);
  auto* body = Find<QScrollArea>(*panel_, "PanelBody");
  const QWidget* content = body->widget();
  const struct {
    int width, height;
    bool scrolls, below;
  } screens[] = {{1024, 600, false, false},
                 {1280, 800, false, false},
                 {800, 600, true, true},
                 {800, 400, true, true},
                 {1280, 800, false, false}};
  for (const auto& c : screens) {
    ShowAt(c.width, c.height);
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    EXPECT_EQ(Faults(), "");
    EXPECT_FALSE(body->horizontalScrollBar()->isVisible());
    EXPECT_EQ(body->verticalScrollBar()->isVisible(), c.scrolls);
    EXPECT_GE(content->height(), content->minimumSizeHint().height());
    const int side = panel_->side->mapTo(content, QPoint()).y();
    const int face = panel_->face->mapTo(content, QPoint()).y();
    if (c.below) {
      EXPECT_GE(side, face + panel_->face->height());
    } else {
      EXPECT_EQ(side, face);
    }
  }
  // The save box, shown, still fits.
  ShowAt(1024, 600);
  Action(*panel_, "Save")->trigger();
  QApplication::processEvents();
  ASSERT_TRUE(Shown(*panel_, "PicSave"));
  EXPECT_EQ(Faults(), "");
  EXPECT_LE(panel_->minimumSizeHint().height(), 600);
  EXPECT_FALSE(body->verticalScrollBar()->isVisible());
}

// Every other window fits the smallest screen (800 x 600, less a title bar)
// and shows everything at its least size and at the size it opens with (the
// panel cuts that down to the screen's room as it places the window); the
// list windows and the plot fit beside the level display of a small screen.
TEST_F(PanelLayout, EveryWindowFitsTheSmallestScreen) {
  panel_->move(0, 0);
  ShowAt(1024, 600);
  const int beside = 1024 - Widget("Lcd").mapTo(panel_.get(), QPoint(Widget("Lcd").width(), 0)).x();
  panel_->windows().OpenLiveTimePlot(LiveSeries::kLevel);
  panel_->side->charts->CWDec->on_clicked();
  FileList file_list(dialogs_);
  FileListReal file_list_real(dialogs_);
  DataList data_list(dialogs_);
  Plot plot(dialogs_, printing_);
  Histogram histogram(dialogs_, printing_);
  MemoryWindow memory;
  SamplingChoice sampling;
  SetupWindow setup(link_, timers_, dialogs_, [] { return DateTime{2024, 5, 1, 10, 0, 0}; });
  PortEnvironment environment;
  environment.device_of = [](int) { return std::string(); };
  environment.system_ports = [] { return std::vector<SystemPort>{}; };
  Port port(environment, [](PortChoice) {});
  const RecordList hours = test::ListOf(std::vector<std::string>(7200, "60.0"));
  const NamedList named{&hours, "hours.dlgr"};
  AssessmentWindow assessment(std::make_unique<AssessmentDocument>(std::span(&named, 1), false),
                              dialogs_);
  // The first four go beside the level display.
  const std::vector<QWidget*> windows = {&file_list,
                                         &file_list_real,
                                         &data_list,
                                         &plot,
                                         &histogram,
                                         &memory,
                                         &sampling,
                                         &setup,
                                         &port,
                                         panel_->windows().real_time_graph(),
                                         panel_->windows().real_histogram(),
                                         &assessment};
  for (std::size_t i = 0; i < windows.size(); ++i) {
    QWidget* window = windows[i];
    const std::string name = window->objectName().toStdString();
    window->show();
    QApplication::processEvents();
    const QSize opened = window->size();
    EXPECT_LE(window->minimumSizeHint().width(), 800) << name;
    EXPECT_LE(window->minimumSizeHint().height(), 560) << name;
    EXPECT_TRUE(i >= 4 || window->minimumSizeHint().width() <= beside) << name;
    for (const QSize size : {window->minimumSizeHint(), opened}) {
      window->resize(size);
      QApplication::processEvents();
      EXPECT_EQ(LayoutFaultText(*window), "")
          << name << " at " << size.width() << "x" << size.height();
    }
    window->hide();
  }
}

// WCAG's contrast ratio of two colours, from 1 (none) to 21.
double Contrast(const QColor& a, const QColor& b) {
  auto luminance = [](const QColor& c) {
    auto channel = [](double v) {
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(PanelLayout, SaveBoxTitleReadsWellOnTheMetersFace) {
  ShowAt(1024, 600);
  Action(*panel_, "Save")->trigger();
  QApplication::processEvents();
  // The title is drawn on the face, outside the box's own light background.
  const QImage image = panel_->grab().toImage();
  auto* box = Find<QGroupBox>(*panel_, "PicSave");
  const QPoint title = box->mapTo(panel_.get(), QPoint(0, 0));
  const QColor face = image.pixelColor(title + QPoint(2, 2));
  const QColor text = box->palette().color(QPalette::WindowText);
  EXPECT_GE(Contrast(text, face), 4.5)
      << text.name().toStdString() << " on " << face.name().toStdString();
}

TEST_F(PanelLayout, LevelDigitsGrowWithTheWindowAndAlwaysFit) {
  auto* value = Find<QLabel>(*panel_, "LblValue");
  ShowAt(1024, 600);
  const int small = value->font().pixelSize();
  ShowAt(1900, 1040);
  const int large = value->font().pixelSize();
  EXPECT_GT(large, small + 20);
  for (auto [w, h] : {std::pair{1024, 600}, std::pair{1900, 1040}, std::pair{1280, 800}}) {
    ShowAt(w, h);
    const QFontMetrics metrics(value->font());
    EXPECT_LE(metrics.horizontalAdvance("-188.8"), value->contentsRect().width()) << w;
    EXPECT_LE(metrics.height(), value->contentsRect().height()) << w;
  }
}

// Neither a lost meter, a long file name nor the offline panel moves the
// right column.
TEST_F(PanelLayout, TheRightColumnStaysPutWhenTheMeterIsLost) {
  ShowAt(1100, 700);
  QWidget& table = Widget("GridN");
  const QPoint at = table.mapTo(panel_.get(), QPoint(0, 0));
  const QRect face = Widget("Face").geometry();
  meter_.model().faults().silent = true;
  panel_->Timer1Tick();
  Find<QLabel>(*panel_, "LblFileName")->setText(QString(200, 'x'));
  QApplication::processEvents();
  EXPECT_EQ(table.mapTo(panel_.get(), QPoint(0, 0)), at);
  EXPECT_EQ(Widget("Face").geometry(), face);

  auto offline = MakePanel({1, true});
  ASSERT_TRUE(offline->Start());
  offline->show();
  offline->resize(1100, 700);
  QApplication::processEvents();
  EXPECT_EQ(offline->findChild<QWidget*>("GridN")->mapTo(offline.get(), QPoint(0, 0)), at);
  EXPECT_EQ(LayoutFaultText(*offline), "");
}

}  // namespace
}  // namespace slm::test
