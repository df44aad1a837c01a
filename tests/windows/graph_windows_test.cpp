// The graph windows: the time plots (the list plot with its marks, the live
// snapshot, the range boxes, the cursor read-out, the track modes and
// printing) and the two histograms (the live snapshot from the panel's charts
// and the list statistics from the list windows' resolution buttons).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>

#include "files/data_file_writer.h"
#include "graph/graph_probe.h"
#include "support/pdf_pages.h"
#include "support/sample_lists.h"
#include "windows/histogram_window.h"
#include "windows/panel_fixture.h"
#include "windows/time_plot_window.h"

namespace slm {
namespace {

using test::PanelTest;
using test::PdfPages;
using test::Span;

class GraphWindowTest : public PanelTest {
 protected:
  void SetUp() override { panel_ = OnlinePanel(); }
  void Sample(double level) {
    meter_.model().SetLevel(level);
    Seconds(*panel_, 1);
  }
  // A plain list or a memory set of `levels` opened from a file, as "Open" does.
  RecordListWindow& OpenList(const std::vector<std::string>& levels, bool memory_set = false) {
    RecordList list = test::ListOf(levels);
    if (memory_set) list.header() = test::SampleMemorySet().header();
    if (!memory_set) list.header().kind = ListKind::kPlain;
    const std::string path = dir_.File("list" + std::to_string(++files_) + ".dlgr");
    test::WriteBytes(path, FormatListFile(list, Separator::kTab));
    dialogs_.files.push_back({path, 1});
    panel_->ToolbarClicked("Open");
    RecordListWindow* window = memory_set
                                   ? static_cast<RecordListWindow*>(panel_->windows().file_list())
                                   : panel_->windows().file_list_real();
    EXPECT_NE(window, nullptr);
    return *window;
  }
  Plot& PlotOf(const std::vector<std::string>& levels) {
    panel_->windows().PlotList(test::ListOf(levels));
    EXPECT_NE(panel_->windows().plot(), nullptr);
    return *panel_->windows().plot();
  }
  QString Cell(Histogram& h, int row, int column) {
    QTableWidgetItem* item = h.GridLn->item(row, column);
    return item == nullptr ? QString() : item->text();
  }
  std::unique_ptr<Panel> panel_;
  int files_ = 0;
};

using TimePlotTest = GraphWindowTest;
using HistogramTest = GraphWindowTest;

TEST_F(TimePlotTest, ListPlotDrawsEveryRowWithItsPauseMarks) {
  const QString caption = panel_->windowTitle();
  Plot& plot = PlotOf({"60.0", "61.0*", "62.0*", "63.0", "64.0"});
  EXPECT_TRUE(plot.isVisible());
  EXPECT_EQ(plot.CWGraph1->PointCount(), 5);
  ASSERT_EQ(plot.CWGraph1->AnnotationCount(), 2);
  EXPECT_EQ(plot.CWGraph1->AnnotationText(0), "Pause");
  EXPECT_EQ(plot.CWGraph1->AnnotationText(1), "Start");
  EXPECT_EQ(Span(plot.CWGraph1->XRange()), "1..5");
  EXPECT_EQ(Span(plot.CWGraph1->YRange()), "25..145");
  EXPECT_EQ(plot.CWGraph1->accessibleName(), "dB");  // a screen reader's name: its Y caption
  GraphProbe(*plot.CWGraph1).ReplotNow();            // record numbers are whole: no tick at 2.5
  ASSERT_FALSE(GraphProbe(*plot.CWGraph1).XTicks().empty());
  for (const double tick : GraphProbe(*plot.CWGraph1).XTicks())
    EXPECT_EQ(tick, std::round(tick)) << tick;
  // The panel is as it was: its caption back and its timers running.
  EXPECT_EQ(panel_->windowTitle(), caption);
  EXPECT_TRUE(panel_->timer1().isActive());
  EXPECT_TRUE(panel_->timer2().isActive());

  // The open window is reused, and the next list's marks replace the last's.
  Plot* first = panel_->windows().plot();
  Plot& again = PlotOf({"70.0", "71.0*", "72.0*"});
  EXPECT_EQ(&again, first);
  EXPECT_EQ(again.CWGraph1->PointCount(), 3);
  EXPECT_EQ(again.CWGraph1->AnnotationCount(), 1);  // a pause to the end: no "Start"
}

TEST_F(TimePlotTest, BoxesFollowTheViewTypedLimitsApplyAndResetBringsBackTheOpeningRanges) {
  Plot& plot = PlotOf({"60.0", "61.0", "62.0", "63.0", "64.0", "65.0"});
  plot.CWGraph1->SetYRange(40, 50);  // as a pan or a wheel zoom leaves it
  EXPECT_EQ(plot.AxisMin[2]->value(), 40);
  EXPECT_EQ(plot.AxisMax[2]->value(), 50);
  plot.AxisMax[1]->setValue(3);
  EXPECT_EQ(plot.CWGraph1->XRange().max, 3);
  EXPECT_EQ(plot.CWGraph1->YRange().min, 40);  // the Y boxes apply too
  // Record numbers are whole: the X boxes show the view rounded, and leave it as it is.
  plot.CWGraph1->SetXRange(2.4, 4.6);
  EXPECT_EQ(plot.AxisMin[1]->text(), "2");
  EXPECT_EQ(plot.AxisMax[1]->text(), "5");
  EXPECT_EQ(plot.CWGraph1->XRange().min, 2.4);

  // "Fit Y" takes the levels in view (rows 3 and 4), a double-click resets.
  plot.CmdFitY->click();
  EXPECT_EQ(Span(plot.CWGraph1->YRange()), "61..64");
  plot.CWGraph1->on_reset();
  EXPECT_EQ(Span(plot.CWGraph1->XRange()), "1..6");
  EXPECT_EQ(plot.AxisMax[1]->value(), 6);
  EXPECT_EQ(plot.AxisMin[2]->value(), 25);
}

TEST_F(TimePlotTest, CursorCoordinatesReadOutAndNormalRemovesIt) {
  Plot& plot = PlotOf({"60.0", "61.0", "62.0", "63.0"});
  EXPECT_EQ(plot.CWGraph1->CursorCount(), 0);  // the list plot starts without one
  plot.CWGraph1->SetXRange(2, 4);              // zoomed
  plot.track->Choose(1);
  plot.track->Choose(1);
  ASSERT_EQ(plot.CWGraph1->CursorCount(), 1);
  EXPECT_EQ(plot.CWGraph1->CursorX(1), 3);  // the centre of the zoomed view
  EXPECT_EQ(plot.CWGraph1->CursorY(1), 85);
  EXPECT_EQ(plot.CWGraph1->trackMode(), TrackMode::kDragCursor);
  EXPECT_EQ(plot.track->txtDescription->text(),
            "Drag the cursor with your mouse to get X (Count) and Y (dB) position.");

  // The read-out snaps to the nearest record: its number, time and level text.
  EXPECT_EQ(plot.findChild<QLabel*>("LblYCaption")->text(), "dB ( Y ) :");
  plot.CWGraph1->on_cursor_moved(1, 2.6, 85.27);
  EXPECT_EQ(plot.XPosition->text(), "3");
  EXPECT_EQ(plot.YPosition->text(), "62.0");
  EXPECT_EQ(plot.TimePosition->text(), "2024/05/01 10:00:02");
  EXPECT_EQ(plot.CWGraph1->CursorX(1), 3);
  EXPECT_EQ(plot.CWGraph1->CursorY(1), 62);
  // Plotting anew keeps the window's cursor in "Cursor Coordinates".
  PlotOf({"50.0", "51.0"});
  EXPECT_EQ(plot.CWGraph1->CursorCount(), 1);
  EXPECT_EQ(plot.CWGraph1->trackMode(), TrackMode::kDragCursor);

  plot.track->Choose(0);  // in the list plot, "Normal" removes the cursor
  EXPECT_EQ(plot.CWGraph1->CursorCount(), 0);
  EXPECT_EQ(plot.CWGraph1->trackMode(), TrackMode::kNormal);
}

TEST_F(TimePlotTest, TheDateTimeAxisDrawsTheListAgainstItsClockWithItsGaps) {
  RecordList list = test::ListOf({"60.0", "61.0"});
  list.Append("3", "2024/05/01 10:00:30", "70.0");
  list.Append("4", "2024/05/01 10:00:31", "71.0");
  panel_->windows().PlotList(list);
  Plot& plot = *panel_->windows().plot();
  plot.ChkClock->click();
  const double ten = plot.CWGraph1->XRange().min;
  EXPECT_EQ(plot.CWGraph1->XRange().max, ten + 31);
  EXPECT_EQ(plot.CWGraph1->XCaption(), "Date Time");
  EXPECT_EQ(plot.CWGraph1->PointCount(), 5);  // the jump of 29 s is a gap
  // The X boxes still count records: they show the records in view and take them.
  EXPECT_EQ(plot.AxisMax[1]->value(), 4);
  plot.AxisMin[1]->setValue(3);
  EXPECT_EQ(plot.CWGraph1->XRange().min, ten + 30);
  EXPECT_EQ(plot.AxisMin[1]->value(), 3);
  plot.track->Choose(1);
  plot.CWGraph1->on_cursor_moved(1, ten + 20, 0);
  EXPECT_EQ(plot.XPosition->text(), "3");
  EXPECT_EQ(plot.TimePosition->text(), "2024/05/01 10:00:30");
  plot.CmdFitY->click();
  EXPECT_EQ(plot.CWGraph1->YRange().max, 72);
  // Back to record numbers.
  plot.ChkClock->click();
  EXPECT_EQ(plot.CWGraph1->XRange().max, 4);
  EXPECT_EQ(plot.CWGraph1->PointCount(), 4);
}

TEST_F(TimePlotTest, LiveSnapshotOfTenSamplesAndAnEmptyOne) {
  panel_->windows().OpenLiveTimePlot(LiveSeries::kLevel);
  RealTimeGraph* empty = panel_->windows().real_time_graph();
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->CWGraph1->PointCount(), 0);
  EXPECT_EQ(Span(empty->CWGraph1->XRange()), "1..2");  // from 1, one unit wide

  meter_.model().SetLevel(62.5);
  Seconds(*panel_, 11);
  ASSERT_EQ(charts_.sample_count(), 10);
  panel_->windows().OpenLiveTimePlot(LiveSeries::kLevel);
  RealTimeGraph& graph = *panel_->windows().real_time_graph();
  EXPECT_EQ(graph.CWGraph1->PointCount(), 10);
  EXPECT_EQ(graph.CWGraph1->XRange().max, 9);
  EXPECT_EQ(graph.CWGraph1->YRange().min, 62.5);
  EXPECT_EQ(graph.LblUnit->text() + " " + graph.CWGraph1->YCaption(), "SPL (dB) SPL (dB)");

  // It opens with its two design cursors on samples; "Normal" leaves them.
  ASSERT_EQ(graph.CWGraph1->CursorCount(), 2);
  EXPECT_EQ(graph.CWGraph1->CursorX(1), 4);
  EXPECT_EQ(graph.CWGraph1->CursorY(2), 62.5);
  graph.track->Choose(1);
  graph.track->Choose(0);
  EXPECT_EQ(graph.CWGraph1->CursorCount(), 2);
  // "Reset Scale" after a pan: the opening ranges and boxes.
  graph.CWGraph1->SetXRange(4, 8);
  graph.CmdReset->click();
  EXPECT_EQ(Span(graph.CWGraph1->XRange()), "1..9");
}

TEST_F(TimePlotTest, PrintingGoesBackToNormalAndPrintsEachCopy) {
  meter_.model().SetLevel(70.0);
  Seconds(*panel_, 4);
  panel_->windows().OpenLiveTimePlot(LiveSeries::kLeq);
  RealTimeGraph& graph = *panel_->windows().real_time_graph();
  graph.track->Choose(1);

  // Cancelled: back in normal mode, nothing printed, nothing said.
  graph.CmdPrint->click();
  EXPECT_EQ(printing_.asked, 1);
  EXPECT_EQ(graph.CWGraph1->trackMode(), TrackMode::kNormal);
  EXPECT_EQ(graph.CWGraph1->CursorCount(), 0);
  EXPECT_TRUE(dialogs_.messages.empty());

  printing_.path = dir_.File("graph.pdf");
  const QColor colour = graph.CWGraph1->PlotColor();
  const QRect placed = graph.frameGeometry();
  graph.CmdPrint->click();
  EXPECT_EQ(graph.frameGeometry(), placed);  // printing leaves the window where it was
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text.rfind("Note\nThe effect of the properties", 0), 0u);
  EXPECT_FALSE(graph.FrmGraphic->isHidden());
  EXPECT_EQ(graph.CWGraph1->YCaption(), "Leq (dB)");
  EXPECT_EQ(graph.CWGraph1->PlotColor(), colour);
}

TEST_F(TimePlotTest, LiveChartsFollowTheSamplesAndStartAgainAfterALossOrRefresh) {
  meter_.model().SetLevel(65.3);
  Seconds(*panel_, 4);
  LiveCharts& charts = *panel_->side->charts;
  EXPECT_EQ(charts.CWG->PointCount(), 3);
  EXPECT_EQ(charts.CWLeq->PointCount(), 3);
  EXPECT_EQ(charts.CWDec->PointCount(), kFineClassCount);
  GraphProbe(*charts.CWDec).ReplotNow();  // counts are whole: no tick at 0.25
  ASSERT_FALSE(GraphProbe(*charts.CWDec).YTicks().empty());
  for (const double tick : GraphProbe(*charts.CWDec).YTicks())
    EXPECT_EQ(tick, std::round(tick)) << tick;
  EXPECT_EQ(Span(charts.CWDec->XRange()), "652..654");  // FineLow - 1
  EXPECT_EQ(Span(charts.CWInt->XRange()), "63..67");    // CoarseLow - 1

  meter_.model().faults().silent = true;
  panel_->Timer1Tick();
  EXPECT_EQ(charts.CWG->PointCount(), 0);
  EXPECT_EQ(charts.CWInt->PointCount(), 0);
  EXPECT_EQ(charts.CWDec->PointCount(), 0);
  EXPECT_EQ(charts.CWLeq->PointCount(), 3);  // Leq and SEL keep their points
  EXPECT_EQ(charts.CWSEL->PointCount(), 3);

  panel_->ToolbarClicked("Refresh");
  EXPECT_EQ(charts.CWLeq->PointCount(), 0);
  EXPECT_EQ(charts.CWSEL->PointCount(), 0);

  // A click on a strip chart opens its series.
  charts.CWSEL->on_clicked();
  ASSERT_NE(panel_->windows().real_time_graph(), nullptr);
  EXPECT_EQ(panel_->windows().real_time_graph()->LblUnit->text(), "SEL (dB)");
}

TEST_F(HistogramTest, LiveHistogramIsASnapshotWithItsOwnReset) {
  Sample(65.3);  // the first tick only starts the sampling period
  for (double level : {65.3, 65.0, 70.2}) Sample(level);
  panel_->windows().OpenLiveHistogram(StatResolution::kWhole);
  RealHistogram& h = *panel_->windows().real_histogram();
  EXPECT_EQ(h.windowTitle(), "Histogram");
  EXPECT_EQ(Span(h.CWGraph1->XRange()), "63..72");  // CoarseLow 64 - 1 to CoarseHigh 71 + 1
  EXPECT_EQ(h.CWGraph1->PointCount(), kCoarseClassCount);
  EXPECT_TRUE(h.Picture1->isHidden());
  const AxisRange y = h.CWGraph1->YRange();
  EXPECT_GE(y.max, 1);  // the graph's own choice for the counts

  Sample(90.0);  // later samples do not change the snapshot
  EXPECT_EQ(h.CWGraph1->XRange().max, 72);

  h.CWGraph1->SetXRange(65, 66);  // as a zoom leaves it
  h.CWGraph1->SetYRange(0, 0.5);
  h.ToolbarClicked("Reset");
  EXPECT_EQ(Span(h.CWGraph1->XRange()), "63..72");
  EXPECT_EQ(h.CWGraph1->YRange().max, y.max);

  h.ToolbarClicked("Track");
  EXPECT_FALSE(h.Picture1->isHidden());
  h.track->Choose(2);  // "PanX" hides the list again
  EXPECT_TRUE(h.Picture1->isHidden());
  EXPECT_EQ(h.CWGraph1->trackMode(), TrackMode::kPanX);

  panel_->windows().OpenLiveHistogram(StatResolution::kTenth);
  EXPECT_EQ(GraphProbe(*panel_->windows().real_histogram()->CWGraph1).XTickLabel(653), "65.3");
}

TEST_F(HistogramTest, ResolutionButtonFillsTheHistogramAndTheLnGrid) {
  RecordListWindow& list = OpenList({"85.3", "85.3", "85.3", "85.3"});
  const QString caption = list.windowTitle();
  list.ToolbarClicked("Ln");
  EXPECT_FALSE(list.PicResolution->isHidden());
  list.Cmd01dB->click();
  Histogram* h = panel_->windows().histogram();
  ASSERT_NE(h, nullptr);
  EXPECT_TRUE(list.PicResolution->isHidden());
  EXPECT_EQ(list.windowTitle(), caption);
  EXPECT_TRUE(panel_->timer1().isActive());

  // One class, 853: its count at x = 854, inside the range 853 to 854.
  EXPECT_EQ(Span(h->CWG->XRange()), "853..854");
  EXPECT_EQ(GraphProbe(*h->CWG).XTickLabel(853), "85.3");
  EXPECT_GE(h->y_limit(), 4);
  // The design cursor sits on a bar's top, not at a count of 2.5; counts are whole.
  EXPECT_EQ(h->CWG->CursorX(2), 854);
  EXPECT_EQ(h->CWG->CursorY(2), 4);
  GraphProbe(*h->CWG).ReplotNow();
  for (const double tick : GraphProbe(*h->CWG).YTicks()) EXPECT_EQ(tick, std::round(tick));
  // The title line names the list's file first.
  const std::string title = h->CWG->Title().toStdString();
  EXPECT_EQ(title.find(caption.toStdString() + " - Histogram, 0.1 dB classes - 4 of 4"), 0u)
      << title;
  ASSERT_EQ(h->GridLn->rowCount(), 11);
  // The whole Ln table shows, without scrolling.
  EXPECT_LE(h->GridLn->rowViewportPosition(10) + h->GridLn->rowHeight(10),
            h->GridLn->viewport()->height());
  EXPECT_GE(h->GridLn->rowViewportPosition(0), 0);
  // The corners, and L50.
  const QStringList cells = {Cell(*h, 0, 0), Cell(*h, 0, 1),  Cell(*h, 0, 10),
                             Cell(*h, 1, 0), Cell(*h, 10, 0), Cell(*h, 6, 1)};
  EXPECT_EQ(cells.join("|"), "Ln| 0| 9|L(00)|L(90)|85.3");

  const bool hidden = h->Picture1->isHidden();
  h->ToolbarClicked("Limit");  // shows or hides the list panel
  EXPECT_NE(h->Picture1->isHidden(), hidden);

  // "Reset" in the list after a zoom; the description stays as it was.
  h->track->Choose(4);  // "ZoomXY"
  const QString description = h->track->txtDescription->text();
  h->CWG->SetXRange(853.2, 853.4);
  h->CWG->SetYRange(0, 1);
  h->track->Choose(7);
  EXPECT_EQ(Span(h->CWG->XRange()), "853..854");
  EXPECT_EQ(h->CWG->YRange().max, h->y_limit());
  EXPECT_EQ(h->CWG->trackMode(), TrackMode::kNormal);
  EXPECT_EQ(h->track->txtDescription->text(), description);
}

TEST_F(HistogramTest, AListWithNothingToCountSaysSoAndShowsAnEmptyHistogram) {
  RecordListWindow& list = OpenList({"85.3*", "86.0*"});
  const QString caption = list.windowTitle();
  list.Cmd01dB->click();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text,
            "The list holds no level to count: 2 records marked \"*\" (paused).");
  Histogram* h = panel_->windows().histogram();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(h->CWG->PointCount(), 0);
  EXPECT_EQ(h->GridLn->rowCount(), 1);
  EXPECT_EQ(list.windowTitle(), caption);
  EXPECT_TRUE(panel_->timer2().isActive());
}

// Every window with a Print of a graph prints it whole on the page, at the
// printer's own resolution: the title line, both axis captions and the tick
// labels, drawn as vectors. The live windows say the driver note first and
// print each copy; the list's plot and histogram say nothing first.
TEST_F(GraphWindowTest, EveryGraphWindowPrintsItsTitleCaptionsAndTicksOnThePage) {
  for (double level : {60.0, 61.0, 62.0}) Sample(level);
  OpenList({"70.0", "71.0"}).Cmd01dB->click();
  Plot& plot = PlotOf({"60.0", "61.0"});
  PanelWindows& w = panel_->windows();
  w.OpenLiveTimePlot(LiveSeries::kLeq);
  w.OpenLiveHistogram(StatResolution::kWhole);
  printing_.copies = 2;
  const std::tuple<Graph*, std::function<void()>, int> windows[] = {
      {plot.CWGraph1, [&] { plot.CmdPrint->click(); }, 1},
      {w.real_time_graph()->CWGraph1, [&] { w.real_time_graph()->CmdPrint->click(); }, 2},
      {w.histogram()->CWG, [&] { w.histogram()->ToolbarClicked("Print"); }, 1},
      {w.real_histogram()->CWGraph1, [&] { w.real_histogram()->ToolbarClicked("Print"); }, 2}};
  for (const auto& [graph, print, pages] : windows) {
    printing_.path = dir_.File(graph->window()->objectName().toStdString() + ".pdf");
    const std::size_t said = dialogs_.messages.size();
    print();
    EXPECT_EQ(PdfPages(printing_.path), pages);
    EXPECT_EQ(dialogs_.messages.size() - said, pages == 2 ? 1u : 0u);
    const std::string text = test::PdfText(printing_.path);
    for (const QString& part : {graph->Title(), graph->XCaption(), graph->YCaption()}) {
      EXPECT_NE(text.find(part.toStdString()), std::string::npos) << part.toStdString() << ":\n"
                                                                  << text;
    }
    // The tick labels the page was laid out with, each a word of its own.
    std::istringstream words(text);
    const std::set<std::string> printed{std::istream_iterator<std::string>(words), {}};
    QStringList ticks = GraphProbe(*graph).XTickLabels();
    for (const double tick : GraphProbe(*graph).YTicks()) ticks << QString::number(tick, 'g', 10);
    EXPECT_GT(ticks.size(), 4);
    for (const QString& tick : ticks) {
      EXPECT_TRUE(printed.count(tick.toStdString())) << tick.toStdString() << ":\n" << text;
    }
    EXPECT_EQ(test::ProgramOutput("pdfimages", {"-list", QString::fromStdString(printing_.path)})
                  .find(" image "),
              std::string::npos);
    // On a portrait page the graph keeps a plot's proportions: its lowest
    // word is well above the page's foot.
    const std::string boxes =
        test::ProgramOutput("pdftotext", {"-bbox", QString::fromStdString(printing_.path), "-"});
    std::smatch page;
    ASSERT_TRUE(std::regex_search(boxes, page,
                                  std::regex("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\"")));
    ASSERT_LT(std::stod(page[1]), std::stod(page[2]));
    double lowest = 0;
    const std::regex y_max("yMax=\"([0-9.]+)\"");
    for (std::sregex_iterator it(boxes.begin(), boxes.end(), y_max), end; it != end; ++it) {
      lowest = std::max(lowest, std::stod((*it)[1]));
    }
    EXPECT_LT(lowest, 0.7 * std::stod(page[2]));
  }
}

}  // namespace
}  // namespace slm
