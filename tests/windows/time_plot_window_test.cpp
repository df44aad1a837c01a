// The time plot windows: the list plot with its marks, the live snapshot,
// the range boxes, the cursor read-out, the track modes and printing.
#include "windows/time_plot_window.h"

#include <gtest/gtest.h>

#include "support/pdf_pages.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using test::PanelTest;
using test::PdfPages;

RecordList Levels(std::initializer_list<const char*> levels) {
  RecordList list;
  int n = 0;
  for (const char* level : levels) {
    ++n;
    list.Append(std::to_string(n), "2024/05/01 10:00:00", level);
  }
  return list;
}

class TimePlotTest : public PanelTest {
 protected:
  void SetUp() override { panel_ = OnlinePanel(); }
  Plot& PlotOf(std::initializer_list<const char*> levels) {
    panel_->windows().PlotList(Levels(levels));
    EXPECT_NE(panel_->windows().plot(), nullptr);
    return *panel_->windows().plot();
  }
  std::unique_ptr<Panel> panel_;
};

TEST_F(TimePlotTest, ListPlotDrawsEveryRowWithItsPauseMarks) {
  const QString caption = panel_->windowTitle();
  Plot& plot = PlotOf({"60.0", "61.0*", "62.0*", "63.0", "64.0"});
  EXPECT_TRUE(plot.isVisible());
  EXPECT_EQ(plot.CWGraph1->PointCount(), 5);
  ASSERT_EQ(plot.CWGraph1->AnnotationCount(), 2);
  EXPECT_EQ(plot.CWGraph1->AnnotationText(0), "Pause");
  EXPECT_EQ(plot.CWGraph1->AnnotationText(1), "Start");
  EXPECT_EQ(plot.CWGraph1->XRange().min, 1);
  EXPECT_EQ(plot.CWGraph1->XRange().max, 5);
  EXPECT_EQ(plot.CWGraph1->YRange().min, 25);
  EXPECT_EQ(plot.CWGraph1->YRange().max, 145);
  EXPECT_EQ(plot.AxisMax[1]->value(), 5);
  EXPECT_EQ(plot.AxisMin[2]->value(), 25);
  // The panel is as it was: its caption back and its timers running.
  EXPECT_EQ(panel_->windowTitle(), caption);
  EXPECT_TRUE(panel_->timer1().isActive());
  EXPECT_TRUE(panel_->timer2().isActive());

  // The open window is reused, and the next list's marks replace the last's.
  Plot* first = panel_->windows().plot();
  Plot& again = PlotOf({"70.0", "71.0*", "72.0*"});
  EXPECT_EQ(&again, first);
  EXPECT_EQ(again.CWGraph1->PointCount(), 3);
  ASSERT_EQ(again.CWGraph1->AnnotationCount(), 1);  // a pause to the end: no "Start"
  EXPECT_EQ(again.CWGraph1->AnnotationText(0), "Pause");
}

TEST_F(TimePlotTest, ThePlotButtonOfAnOpenedListDrawsIt) {
  const std::string path = dir_.File("list.dlgr");
  test::WriteBytes(path,
                   "No.s\tDate Time\tdB\t\r\n1\t2024/05/01 10:00:00\t60.0\t\r\n"
                   "2\t2024/05/01 10:00:01\t61.0*\t\r\n3\t2024/05/01 10:00:02\t62.0\t\r\n");
  dialogs_.files.push_back({path, 1});
  panel_->ToolbarClicked("Open");
  ASSERT_NE(panel_->windows().file_list_real(), nullptr);
  panel_->windows().file_list_real()->ToolbarClicked("Plot");
  ASSERT_NE(panel_->windows().plot(), nullptr);
  EXPECT_EQ(panel_->windows().plot()->CWGraph1->PointCount(), 3);
  EXPECT_EQ(panel_->windows().plot()->CWGraph1->AnnotationCount(), 2);
}

TEST_F(TimePlotTest, TypedLimitsApplyBothAxesAndResetBringsBackTheOpeningRanges) {
  Plot& plot = PlotOf({"60.0", "61.0", "62.0", "63.0", "64.0", "65.0"});
  plot.CWGraph1->SetYRange(40, 50);  // as a pan leaves it
  plot.AxisMax[1]->setValue(3);
  EXPECT_EQ(plot.CWGraph1->XRange().max, 3);
  EXPECT_EQ(plot.CWGraph1->YRange().min, 25);  // the Y boxes apply too
  EXPECT_EQ(plot.CWGraph1->YRange().max, 145);

  plot.CWGraph1->SetXRange(2, 4);
  plot.CmdReset->click();
  EXPECT_EQ(plot.CWGraph1->XRange().min, 1);
  EXPECT_EQ(plot.CWGraph1->XRange().max, 6);
  EXPECT_EQ(plot.AxisMax[1]->value(), 3);  // the boxes keep what was typed
}

TEST_F(TimePlotTest, CursorCoordinatesReadOutAndTheModesThatRemoveIt) {
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

  plot.CWGraph1->SetCursorPosition(1, 57.25, 85.27);
  plot.CWGraph1->on_cursor_moved(1, 57.25, 85.27);
  EXPECT_EQ(plot.XPosition->text(), "57.25");
  EXPECT_EQ(plot.YPosition->text(), "85.3");
  plot.CWGraph1->on_cursor_moved(2, 10, 10);  // another cursor changes nothing
  EXPECT_EQ(plot.XPosition->text(), "57.25");

  plot.track->Choose(0);  // in the list plot, "Normal" removes the cursor
  EXPECT_EQ(plot.CWGraph1->CursorCount(), 0);
  EXPECT_EQ(plot.CWGraph1->trackMode(), TrackMode::kNormal);
  plot.track->Choose(1);
  plot.track->Choose(6);  // "ZoomX"
  EXPECT_EQ(plot.CWGraph1->CursorCount(), 0);
  EXPECT_EQ(plot.CWGraph1->trackMode(), TrackMode::kZoomX);
}

TEST_F(TimePlotTest, LiveSnapshotOfTenSamplesAndAnEmptyOne) {
  panel_->windows().OpenLiveTimePlot(LiveSeries::kLevel);
  RealTimeGraph* empty = panel_->windows().real_time_graph();
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->CWGraph1->PointCount(), 0);
  EXPECT_EQ(empty->CWGraph1->XRange().min, 1);  // from 1, one unit wide
  EXPECT_EQ(empty->CWGraph1->XRange().max, 2);
  EXPECT_EQ(empty->AxisMax[1]->value(), 1);

  meter_.model().SetLevel(62.5);
  Seconds(*panel_, 11);
  ASSERT_EQ(charts_.sample_count(), 10);
  panel_->windows().OpenLiveTimePlot(LiveSeries::kLevel);
  RealTimeGraph& graph = *panel_->windows().real_time_graph();
  EXPECT_EQ(graph.CWGraph1->PointCount(), 10);
  EXPECT_EQ(graph.CWGraph1->XRange().max, 9);
  EXPECT_EQ(graph.AxisMin[1]->value(), 1);
  EXPECT_EQ(graph.AxisMax[1]->value(), 9);
  EXPECT_EQ(graph.AxisMax[2]->value(), 62.5);
  EXPECT_EQ(graph.LblUnit->text(), "SPL (dB)");
  EXPECT_EQ(graph.CWGraph1->YCaption(), "SPL (dB)");

  // Here "Normal" leaves the cursor where it is.
  graph.track->Choose(1);
  graph.track->Choose(0);
  EXPECT_EQ(graph.CWGraph1->CursorCount(), 1);
  // "Reset Scale" after a pan: the opening ranges and boxes.
  graph.CWGraph1->SetXRange(4, 8);
  graph.CmdReset->click();
  EXPECT_EQ(graph.CWGraph1->XRange().min, 1);
  EXPECT_EQ(graph.CWGraph1->XRange().max, 9);
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
  printing_.copies = 2;
  const QColor colour = graph.CWGraph1->PlotColor();
  graph.CmdPrint->click();
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text.rfind("Note\nThe effect of the properties", 0), 0u);
  EXPECT_EQ(PdfPages(printing_.path), 2);
  EXPECT_FALSE(graph.FrmGraphic->isHidden());
  EXPECT_EQ(graph.CWGraph1->YCaption(), "Leq (dB)");
  EXPECT_EQ(graph.CWGraph1->PlotColor(), colour);

  // The list plot prints one page and says nothing first.
  Plot& plot = PlotOf({"60.0", "61.0"});
  printing_.path = dir_.File("plot.pdf");
  plot.CmdPrint->click();
  EXPECT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(PdfPages(printing_.path), 1);
}

TEST_F(TimePlotTest, LiveChartsFollowTheSamplesAndStartAgainAfterALossOrRefresh) {
  meter_.model().SetLevel(65.3);
  Seconds(*panel_, 4);
  LiveCharts& charts = *panel_->side->charts;
  EXPECT_EQ(charts.CWG->PointCount(), 3);
  EXPECT_EQ(charts.CWLeq->PointCount(), 3);
  EXPECT_EQ(charts.CWDec->PointCount(), kFineClassCount);
  EXPECT_EQ(charts.CWDec->XRange().min, 652);  // FineLow - 1
  EXPECT_EQ(charts.CWDec->XRange().max, 654);
  EXPECT_EQ(charts.CWInt->XRange().min, 63);  // CoarseLow - 1
  EXPECT_EQ(charts.CWInt->XRange().max, 67);

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

}  // namespace
}  // namespace slm
