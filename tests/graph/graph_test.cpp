// The graph widget offscreen: ranges, traces, marks and the mouse modes.
#include "graph/graph.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "base/calendar.h"
#include "files/file_io.h"
#include "graph/assessment_chart.h"
#include "graph/graph_probe.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

// A shown graph at a fixed size, laid out and painted once.
class GraphTest : public ::testing::Test {
 protected:
  void Show(Graph& graph) {
    graph.resize(800, 500);
    graph.show();
    QApplication::processEvents();
    GraphProbe(graph).ReplotNow();
  }
  QPoint PixelOf(Graph& graph, double x, double y) {
    return QPoint(static_cast<int>(std::lround(GraphProbe(graph).XToPixel(x))),
                  static_cast<int>(std::lround(GraphProbe(graph).YToPixel(y))));
  }
  // The widget the mouse lands on at `pixel` of the graph.
  QWidget* Target(Graph& graph, QPoint pixel) {
    QWidget* child = graph.childAt(pixel);
    return child ? child : &graph;
  }
  void Drag(Graph& graph, QPoint from, QPoint to) {
    QWidget* target = Target(graph, from);
    QTest::mousePress(target, Qt::LeftButton, {}, from);
    QTest::mouseMove(target, (from + to) / 2);
    QTest::mouseMove(target, to);
    QTest::mouseRelease(target, Qt::LeftButton, {}, to);
    QApplication::processEvents();
  }
  // X axis units one pixel covers.
  double XPerPixel(Graph& graph) {
    const AxisRange r = graph.XRange();
    return (r.max - r.min) /
           std::abs(GraphProbe(graph).XToPixel(r.max) - GraphProbe(graph).XToPixel(r.min));
  }
  double YPerPixel(Graph& graph) {
    const AxisRange r = graph.YRange();
    return (r.max - r.min) /
           std::abs(GraphProbe(graph).YToPixel(r.max) - GraphProbe(graph).YToPixel(r.min));
  }
  // Pixels of the drawn widget that are clearly pure red.
  int RedPixels(Graph& graph) {
    GraphProbe(graph).ReplotNow();
    const QImage image = graph.grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++count;
      }
    }
    return count;
  }
};

TEST_F(GraphTest, AShortGraphWritesItsYCaptionSmallerAndATallOneAsUsual) {
  Graph graph;
  graph.SetYCaption("Frequency (Times)");
  graph.resize(300, 400);
  graph.show();
  QApplication::processEvents();
  const QFont usual = GraphProbe(graph).YCaptionFont();
  graph.resize(300, 100);
  QApplication::processEvents();
  EXPECT_LT(GraphProbe(graph).YCaptionFont().pointSizeF(), usual.pointSizeF());
  EXPECT_LE(QFontMetrics(GraphProbe(graph).YCaptionFont()).horizontalAdvance("Frequency (Times)"),
            graph.height());
  graph.resize(300, 400);
  QApplication::processEvents();
  EXPECT_EQ(GraphProbe(graph).YCaptionFont().pointSizeF(), usual.pointSizeF());
}

TEST_F(GraphTest, PlotLeavesTheRangesAndRescaleFitsTheData) {
  Graph graph;
  graph.SetYRange(0, 10);
  const std::vector<double> values = {45.5, 61.2, 97.8, 52.0, 70.3};
  graph.Plot(values, 100, 0.5);
  EXPECT_DOUBLE_EQ(graph.YRange().max, 10);
  graph.Rescale();
  EXPECT_GE(graph.YRange().max, 97.8);
  EXPECT_LE(graph.YRange().min, 45.5);
  EXPECT_LE(graph.XRange().min, 100);
  EXPECT_GE(graph.XRange().max, 102);
}

// Element k of a trace sits at first + k x step, as lines and as bars: each
// annotation's mark lies on the element it names.
TEST_F(GraphTest, PlotPlacesElementKAtFirstPlusKSteps) {
  for (const Graph::Style style : {Graph::Style::kLine, Graph::Style::kBars}) {
    Graph graph(nullptr, style);
    Show(graph);
    const std::vector<double> values = {10, 20, 30, 40};
    const double step = style == Graph::Style::kBars ? 1 : 2.5;
    graph.Plot(values, 5, step);
    EXPECT_EQ(graph.PointCount(), 4);
    graph.SetXRange(0, 20);
    graph.SetYRange(0, 50);
    for (int k = 0; k < 4; ++k) graph.AddAnnotation(k, 10, 45, QString::number(k));
    GraphProbe(graph).ReplotNow();
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(GraphProbe(graph).AnnotationPixel(k).x(),
                  GraphProbe(graph).XToPixel(5 + step * k), 0.5)
          << k;
      EXPECT_NEAR(GraphProbe(graph).AnnotationPixel(k).y(), GraphProbe(graph).YToPixel(values[k]),
                  0.5)
          << k;
    }
  }
}

TEST_F(GraphTest, AppendScrollsKeepingTheNewestSpanInSight) {
  Graph graph;
  graph.SetStripSpan(50);
  for (int i = 0; i < 30; ++i) graph.Append(i % 7);
  EXPECT_EQ(graph.PointCount(), 30);
  // Not yet full: the first point stays at the left edge.
  EXPECT_LE(graph.XRange().min, 0);
  EXPECT_GE(graph.XRange().max, 29);
  for (int i = 30; i < 200; ++i) graph.Append(i % 7);
  // The points sit at 0, 1, ... 199: the newest 50 are 150 to 199.
  const AxisRange x = graph.XRange();
  EXPECT_GE(x.max, 199);
  EXPECT_LT(x.max, 200);
  EXPECT_LE(x.min, 150);
  EXPECT_GT(x.min, 149);
  graph.Append(1);
  EXPECT_NEAR(graph.XRange().max - x.max, 1, 1e-9);
  EXPECT_NEAR(graph.XRange().min - x.min, 1, 1e-9);
  // After a plot, the strip goes on from its last point.
  const std::vector<double> values = {1, 2, 3};
  graph.Plot(values, 40);
  graph.Append(4);
  EXPECT_EQ(graph.PointCount(), 4);
  EXPECT_GE(graph.XRange().max, 43);
}

TEST_F(GraphTest, AnAnnotationStaysOnItsPointWhenTheViewPans) {
  Graph graph;
  Show(graph);
  std::vector<double> values(100);
  for (int i = 0; i < 100; ++i) values[i] = 50 + (i % 10);
  graph.Plot(values);
  graph.SetXRange(0, 99);
  graph.SetYRange(40, 70);
  graph.AddAnnotation(37, 60, 65, "Lmax");
  GraphProbe(graph).ReplotNow();
  const QPointF before = GraphProbe(graph).AnnotationPixel(0);
  graph.SetTrackMode(TrackMode::kPanXY);
  Drag(graph, PixelOf(graph, 50, 55), PixelOf(graph, 30, 50));
  GraphProbe(graph).ReplotNow();
  const QPointF after = GraphProbe(graph).AnnotationPixel(0);
  EXPECT_GT(std::abs(after.x() - before.x()), 20);
  EXPECT_NEAR(after.x(), GraphProbe(graph).XToPixel(37), 0.5);
  EXPECT_NEAR(after.y(), GraphProbe(graph).YToPixel(57), 0.5);
}

TEST_F(GraphTest, ACursorDrawsItsLevelLineOnlyWhileReadAndNothingWhenOff) {
  Graph graph;
  Show(graph);
  graph.SetXRange(0, 10);
  graph.SetYRange(0, 10);
  EXPECT_EQ(RedPixels(graph), 0);
  graph.AddCursor(QColor(255, 0, 0));
  graph.SetCursorPosition(1, 4, 6);
  EXPECT_GT(RedPixels(graph), 300);
  graph.SetCursorEnabled(1, false);
  EXPECT_EQ(RedPixels(graph), 0);
  graph.SetCursorEnabled(1, true);
  const int vertical = RedPixels(graph);
  EXPECT_GT(vertical, 300);
  // Only "Cursor Coordinates" draws its level line: elsewhere it would look like a threshold.
  graph.SetTrackMode(TrackMode::kDragCursor);
  EXPECT_GT(RedPixels(graph), vertical + 300);
  graph.SetTrackMode(TrackMode::kNormal);
  EXPECT_EQ(RedPixels(graph), vertical);
}

TEST_F(GraphTest, DraggingMovesCursorOneAndReportsEachMove) {
  Graph graph;
  Show(graph);
  graph.SetXRange(0, 100);
  graph.SetYRange(20, 120);
  graph.AddCursor(Qt::red);
  graph.SetCursorPosition(1, 10, 30);
  graph.SetTrackMode(TrackMode::kDragCursor);
  std::vector<std::vector<double>> moves;
  graph.on_cursor_moved = [&](int n, double x, double y) { moves.push_back({double(n), x, y}); };
  const QPoint start = PixelOf(graph, 40, 70);
  const QPoint end = PixelOf(graph, 65, 95);
  QWidget* target = Target(graph, start);
  QTest::mousePress(target, Qt::LeftButton, {}, start);
  QTest::mouseMove(target, end);
  ASSERT_GE(moves.size(), 2u);
  EXPECT_EQ(moves.front()[0], 1);
  EXPECT_NEAR(moves.front()[1], 40, XPerPixel(graph));
  EXPECT_NEAR(moves.front()[2], 70, YPerPixel(graph));
  EXPECT_NEAR(moves.back()[1], 65, XPerPixel(graph));
  EXPECT_NEAR(moves.back()[2], 95, YPerPixel(graph));
  EXPECT_NEAR(graph.CursorX(1), 65, XPerPixel(graph));
  EXPECT_NEAR(graph.CursorY(1), 95, YPerPixel(graph));
  QTest::mouseRelease(target, Qt::LeftButton, {}, end);
  // Moving without a button held does nothing, nor does a drag of a cursor
  // that is off.
  const size_t count = moves.size();
  QTest::mouseMove(target, start);
  graph.SetCursorEnabled(1, false);
  Drag(graph, start, PixelOf(graph, 20, 40));
  EXPECT_EQ(moves.size(), count);
  EXPECT_NEAR(graph.CursorX(1), 65, XPerPixel(graph));
  // The view itself did not move.
  EXPECT_DOUBLE_EQ(graph.XRange().min, 0);
  EXPECT_DOUBLE_EQ(graph.YRange().max, 120);
}

// One drag from (20, 80) to (70, 30) in each mode: a pan moves the view
// against the drag along its axes, a zoom takes the rectangle's sides along
// its axes, the rest leave the view.
TEST_F(GraphTest, EachModeMovesTheAxesItNamesByADrag) {
  struct Case {
    TrackMode mode;
    bool view_controls;
    AxisRange x;
    AxisRange y;
  };
  const std::vector<Case> cases = {
      {TrackMode::kPanXY, false, {-50, 50}, {50, 150}},
      {TrackMode::kPanX, false, {-50, 50}, {0, 100}},
      {TrackMode::kPanY, false, {0, 100}, {50, 150}},
      {TrackMode::kZoomXY, false, {20, 70}, {30, 80}},
      {TrackMode::kZoomX, false, {20, 70}, {0, 100}},
      {TrackMode::kZoomY, false, {0, 100}, {30, 80}},
      {TrackMode::kNormal, false, {0, 100}, {0, 100}},   // a panel chart
      {TrackMode::kNormal, true, {-50, 50}, {50, 150}},  // a graph window pans
      {TrackMode::kDragCursor, true, {0, 100}, {0, 100}},
  };
  for (const Case& c : cases) {
    Graph graph;
    Show(graph);
    graph.SetViewControls(c.view_controls);
    graph.SetXRange(0, 100);
    graph.SetYRange(0, 100);
    graph.SetTrackMode(c.mode);
    Drag(graph, PixelOf(graph, 20, 80), PixelOf(graph, 70, 30));
    const double dx = 3 * XPerPixel(graph);
    const double dy = 3 * YPerPixel(graph);
    const int mode = static_cast<int>(c.mode);
    EXPECT_NEAR(graph.XRange().min, c.x.min, dx) << mode << " " << c.view_controls;
    EXPECT_NEAR(graph.XRange().max, c.x.max, dx) << mode << " " << c.view_controls;
    EXPECT_NEAR(graph.YRange().min, c.y.min, dy) << mode << " " << c.view_controls;
    EXPECT_NEAR(graph.YRange().max, c.y.max, dy) << mode << " " << c.view_controls;
  }
}

TEST_F(GraphTest, TheWheelZoomsAboutThePointerAndHomeOrADoubleClickAsksForAReset) {
  Graph graph;
  Show(graph);
  graph.SetXRange(0, 100);
  graph.SetYRange(0, 100);
  int changes = 0;
  int resets = 0;
  graph.on_view_changed = [&] { ++changes; };
  graph.on_reset = [&] { ++resets; };
  const QPoint at = PixelOf(graph, 20, 50);
  auto wheel = [&](Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(at, graph.mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(Target(graph, at), &event);
  };
  wheel(Qt::NoModifier);  // off until the window asks for it
  EXPECT_DOUBLE_EQ(graph.XRange().min, 0);
  graph.SetViewControls(true);
  wheel(Qt::NoModifier);
  EXPECT_NEAR(graph.XRange().min, 20 - 20 * 0.85, 2 * XPerPixel(graph));
  EXPECT_NEAR(graph.XRange().max, 20 + 80 * 0.85, 2 * XPerPixel(graph));
  EXPECT_DOUBLE_EQ(graph.YRange().max, 100);
  wheel(Qt::ControlModifier);
  EXPECT_NEAR(graph.YRange().min, 50 - 50 * 0.85, 2 * YPerPixel(graph));
  EXPECT_GE(changes, 2);
  QTest::keyClick(&graph, Qt::Key_Home);
  QTest::mouseDClick(Target(graph, at), Qt::LeftButton, {}, at);
  EXPECT_EQ(resets, 2);
}

TEST_F(GraphTest, WholeNumberAndClockAxesTickAsTheyCount) {
  Graph graph;
  graph.SetXScale(AxisScale::kWhole);
  graph.SetXRange(1, 6);
  Show(graph);
  ASSERT_FALSE(GraphProbe(graph).XTicks().empty());
  for (const double tick : GraphProbe(graph).XTicks()) EXPECT_EQ(tick, std::round(tick)) << tick;
  EXPECT_FALSE(GraphProbe(graph).XTickLabels().join(' ').contains('.'));

  const double ten = static_cast<double>(*ParseClockText("2024/05/01 10:00:00"));
  graph.SetXScale(AxisScale::kClock);
  graph.SetXRange(ten, ten + 3600);
  GraphProbe(graph).ReplotNow();
  const QStringList labels = GraphProbe(graph).XTickLabels();
  ASSERT_GE(labels.size(), 2);
  EXPECT_EQ(labels.front(), "10:00\n2024/05/01");
  EXPECT_EQ(labels.back(), "11:00");
}

// In normal mode a click is reported with where it was, and a Shift drag
// with its stretch, leaving the view; a drag is no click (it pans), nor is a
// click in another mode.
TEST_F(GraphTest, AClickSaysWhereAndAShiftDragReportsItsStretchWhereADragPans) {
  Graph graph;
  Show(graph);
  graph.SetViewControls(true);
  graph.SetXRange(0, 100);
  graph.SetYRange(0, 100);
  int clicks = 0;
  std::vector<double> clicked_at;
  std::vector<std::pair<double, double>> stretches;
  graph.on_clicked = [&] { ++clicks; };
  graph.on_clicked_at = [&](double x) { clicked_at.push_back(x); };
  graph.on_stretch_dragged = [&](double x0, double x1) { stretches.push_back({x0, x1}); };
  const QPoint from = PixelOf(graph, 60, 50);
  const QPoint to = PixelOf(graph, 30, 50);
  QWidget* target = Target(graph, from);
  QTest::mousePress(target, Qt::LeftButton, Qt::ShiftModifier, from);
  QTest::mouseMove(target, to);
  QTest::mouseRelease(target, Qt::LeftButton, Qt::ShiftModifier, to);
  ASSERT_EQ(stretches.size(), 1u);
  EXPECT_NEAR(stretches[0].first, 60, XPerPixel(graph));
  EXPECT_NEAR(stretches[0].second, 30, XPerPixel(graph));
  EXPECT_DOUBLE_EQ(graph.XRange().min, 0);
  QTest::mouseClick(target, Qt::LeftButton, {}, from);
  EXPECT_EQ(clicks, 1);
  ASSERT_EQ(clicked_at.size(), 1u);
  EXPECT_NEAR(clicked_at[0], 60, XPerPixel(graph));
  Drag(graph, from, to);
  EXPECT_GT(graph.XRange().min, 20);
  graph.SetTrackMode(TrackMode::kPanXY);
  QTest::mouseClick(target, Qt::LeftButton, {}, from);
  EXPECT_EQ(stretches.size(), 1u);
  EXPECT_EQ(clicks, 1);
}

TEST_F(GraphTest, OverlaysStayOnTheirValuesWhenTheViewMovesAndClearRemovesAll) {
  Graph graph;
  Show(graph);
  graph.SetXRange(0, 100);
  graph.SetYRange(0, 100);
  const QColor green(0, 200, 0);
  const QColor blue(0, 0, 200);
  // Either way round; the second a strip along the top.
  graph.SetShades({{40, 20, green}, {60, 61, blue, 0, 0.1}});
  graph.SetLevelLine(50, Qt::red);
  graph.PlotBars(std::vector<double>{70}, std::vector<double>{20}, 10, Qt::black);
  graph.PlotBand(std::vector<double>{0, 10}, std::vector<double>{80, 80},
                 std::vector<double>{90, 90}, blue);
  auto colour_at = [&](double at_x, double at_y) {
    GraphProbe(graph).ReplotNow();
    return graph.grab().toImage().pixelColor(PixelOf(graph, at_x, at_y));
  };
  // Pixels of the dashed, smoothed level line along its row.
  auto reddish_at = [&](double at_y) {
    GraphProbe(graph).ReplotNow();
    const QImage image = graph.grab().toImage();
    const int row = PixelOf(graph, 0, at_y).y();
    int count = 0;
    for (int px = 0; px < image.width(); ++px) {
      const QColor c = image.pixelColor(px, row);
      if (c.red() > c.green() + 80 && c.red() > c.blue() + 80) ++count;
    }
    return count;
  };
  EXPECT_EQ(colour_at(31, 33), green);
  EXPECT_EQ(colour_at(62, 33), Qt::white);
  EXPECT_EQ(colour_at(60.5, 97), blue);
  EXPECT_EQ(colour_at(60.5, 85), Qt::white);
  EXPECT_EQ(colour_at(5, 85), blue);  // the band, filled between its edges
  EXPECT_EQ(colour_at(5, 70), Qt::white);
  EXPECT_LT(colour_at(75, 10).lightness(), 240);  // the bar, lightly
  EXPECT_EQ(colour_at(75, 30), Qt::white);
  EXPECT_GT(reddish_at(50), 200);  // the level line across the plot
  graph.SetXRange(20, 120);        // panned: the shading keeps its values
  EXPECT_EQ(colour_at(31, 33), green);
  EXPECT_EQ(colour_at(45, 33), Qt::white);
  EXPECT_EQ(graph.ShadeCount(), 2);
  EXPECT_EQ(graph.BarCount(), 1);
  // Clear takes them, the trace, its annotations and the cursors.
  graph.Plot(std::vector<double>{60, 70});
  graph.AddAnnotation(0, 1, 2, "a");
  graph.AddAnnotation(1, 2, 2, "b");
  EXPECT_EQ(graph.AnnotationText(1), "b");
  graph.AddCursor(Qt::blue);
  graph.RemoveAllCursors();
  EXPECT_EQ(graph.CursorCount(), 0);
  graph.AddCursor(Qt::red);
  graph.Clear();
  EXPECT_EQ(graph.ShadeCount() + graph.BarCount() + graph.PointCount() + graph.AnnotationCount() +
                graph.CursorCount(),
            0);
  EXPECT_EQ(reddish_at(50), 0);
  graph.Append(5);
  EXPECT_EQ(graph.PointCount(), 1);
}

// The assessment's chart: the interval Leq as bars over the parts of the
// day, none for an interval without data, and up close the levels as a line
// through the records rather than a dot each.
TEST_F(GraphTest, TheAssessmentChartDrawsBarsOverThePartsOfTheDayAndALineUpClose) {
  const std::int64_t six = *ParseClockText("2024/05/01 18:00:00");
  MeasuredLevels levels{.period = 10};
  for (std::int64_t t = six; t < six + 3 * 3600; t += 10) {
    const double level = t >= six + 7200 ? 60 : t < six + 3600 ? 50 + t / 10 % 2 * 2 : -1;
    if (level > 0) {
      levels.samples.push_back(
          {.time = t, .level = level, .energy = std::pow(10, level / 10), .period = 10});
    }
  }
  const AssessmentSettings settings;  // the evening from 19:00
  const Assessment a = Assess(levels, settings);
  ASSERT_EQ(a.intervals.size(), 3u);  // the one from 19:00 without data
  const LevelSummaries summaries(levels);
  Graph graph;
  Show(graph);
  ShowTimeHistory(graph, summaries, settings, a, graph.width());
  EXPECT_EQ(graph.BarCount(), 2);
  auto image = [&] {
    GraphProbe(graph).ReplotNow();
    return graph.grab().toImage();
  };
  EXPECT_EQ(image().pixelColor(PixelOf(graph, six + 1800, 64)), QColor(255, 250, 222));  // day
  EXPECT_EQ(image().pixelColor(PixelOf(graph, six + 9000, 64)), QColor(250, 228, 238));
  // Ten minutes of records 10 s apart, fewer than the columns: the line
  // runs between them, from 50 to 52 dB.
  graph.SetXRange(six + 600, six + 1200);
  DrawViewedLevels(graph, summaries, settings, a, graph.width());
  const QImage drawn = image();
  const QPoint low = PixelOf(graph, six + 907.5, 50);
  int blue = 0;
  for (int y = PixelOf(graph, 0, 52).y(); y <= low.y(); ++y) {
    const QColor c = drawn.pixelColor(low.x(), y);
    blue += c.blue() > c.red() + 60;
  }
  EXPECT_GT(blue, 0);
}

// Tick labels as the format asks, with a point in every locale.
TEST_F(GraphTest, TenthsLabelsShowTheTickTimesATenthWhateverTheLocale) {
  const QLocale saved;
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  {
    Graph graph;
    EXPECT_EQ(GraphProbe(graph).XTickLabel(653), "653");
    EXPECT_EQ(GraphProbe(graph).XTickLabel(2.5), "2.5");
    graph.SetXLabelFormat(LabelFormat::kTenths);
    EXPECT_EQ(GraphProbe(graph).XTickLabel(653), "65.3");
    EXPECT_EQ(GraphProbe(graph).XTickLabel(1200), "120");
    EXPECT_EQ(GraphProbe(graph).XTickLabel(12345), "1234.5");
    graph.SetXLabelFormat(LabelFormat::kPlain);
    EXPECT_EQ(GraphProbe(graph).XTickLabel(1200), "1200");
  }
  QLocale::setDefault(saved);
}

TEST_F(GraphTest, RenderCoversTheGivenAreaOfThePainter) {
  Graph graph;
  graph.SetPlotColor(QColor(0, 0, 255));
  QImage image(500, 300, QImage::Format_ARGB32);
  image.fill(Qt::green);
  {
    QPainter painter(&image);
    graph.Render(painter, 400, 200);
  }
  EXPECT_EQ(image.pixelColor(5, 5), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(395, 195), QColor(0, 0, 255));
  EXPECT_EQ(image.pixelColor(450, 100), QColor(Qt::green));
  EXPECT_EQ(image.pixelColor(100, 250), QColor(Qt::green));
}

TEST_F(GraphTest, SavesPdfPngAndSvgAndFailsOnAMissingFolder) {
  Graph graph;
  const std::vector<double> values = {40, 60, 55, 80};
  graph.Plot(values);
  graph.Rescale();
  test::TempDir dir;
  for (const char* name : {"g.pdf", "g.png", "g.svg"}) {
    EXPECT_NO_THROW(graph.SaveImage(dir.File(name), 640, 400)) << name;
    EXPECT_GT(QFileInfo(QString::fromStdString(dir.File(name))).size(), 100) << name;
  }
  const QImage png(QString::fromStdString(dir.File("g.png")));
  EXPECT_EQ(png.size(), QSize(640, 400));
  EXPECT_NE(test::ReadBytes(dir.File("g.pdf")).find("/MediaBox [0 0 640.000000 400.000000]"),
            std::string::npos);
  for (const char* name : {"none/g.pdf", "none/g.png", "none/g.svg"}) {
    EXPECT_THROW(graph.SaveImage(dir.File(name), 640, 400), DataFileError) << name;
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.File(name)))) << name;
  }
}

}  // namespace
}  // namespace slm
