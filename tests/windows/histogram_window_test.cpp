// The two histogram windows: the live snapshot from the panel's charts and
// the list statistics from the list windows' resolution buttons.
#include "windows/histogram_window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "files/data_file_writer.h"
#include "support/pdf_pages.h"
#include "support/sample_lists.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using test::PanelTest;
using test::PdfPages;
using test::Span;

class HistogramTest : public PanelTest {
 protected:
  void SetUp() override { panel_ = OnlinePanel(); }
  void Sample(double level) {
    meter_.model().SetLevel(level);
    Seconds(*panel_, 1);
  }
  // A plain list or a memory set of `levels` opened from a file, as "Open" does.
  RecordListWindow& OpenList(const std::vector<std::string>& levels, bool memory_set = false) {
    RecordList list = test::ListOf(levels);
    list.header() = memory_set ? test::SampleMemorySet().header() : ListHeader{ListKind::kPlain};
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
  QString Cell(Histogram& h, int row, int column) {
    QTableWidgetItem* item = h.GridLn->item(row, column);
    return item == nullptr ? QString() : item->text();
  }
  std::unique_ptr<Panel> panel_;
  int files_ = 0;
};

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
  EXPECT_EQ(panel_->windows().real_histogram()->CWGraph1->XTickLabel(653), "65.3");
}

TEST_F(HistogramTest, LiveHistogramPrintsEachCopyAfterTheNote) {
  for (double level : {60.0, 61.0, 62.0}) Sample(level);
  panel_->side->charts->CWDec->on_clicked();  // the panel's 0.1 dB histogram
  RealHistogram& h = *panel_->windows().real_histogram();
  printing_.path = dir_.File("live.pdf");
  printing_.copies = 2;
  h.ToolbarClicked("Print");
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_EQ(dialogs_.messages[0].text.rfind("Note\n", 0), 0u);
  EXPECT_EQ(PdfPages(printing_.path), 2);
  EXPECT_FALSE(h.Toolbar1->isHidden());
  EXPECT_EQ(h.CWGraph1->YCaption(), "Frequency (Times)");
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
  EXPECT_EQ(h->CWG->XTickLabel(853), "85.3");
  EXPECT_GE(h->y_limit(), 4);
  // The design cursor sits on a bar's top, not at a count of 2.5; counts are whole.
  EXPECT_EQ(h->CWG->CursorX(2), 854);
  EXPECT_EQ(h->CWG->CursorY(2), 4);
  h->CWG->ReplotNow();
  for (const double tick : h->CWG->YTicks()) EXPECT_EQ(tick, std::round(tick));
  // The title line names the list's file first.
  const std::string title = h->CWG->Title().toStdString();
  EXPECT_EQ(title.find(caption.toStdString() + " - Histogram, 0.1 dB classes - 4 of 4"), 0u)
      << title;
  ASSERT_EQ(h->GridLn->rowCount(), 11);
  // The whole Ln table shows, without scrolling.
  EXPECT_LE(h->GridLn->rowViewportPosition(10) + h->GridLn->rowHeight(10),
            h->GridLn->viewport()->height());
  EXPECT_GE(h->GridLn->rowViewportPosition(0), 0);
  EXPECT_EQ(Cell(*h, 0, 0), "Ln");
  EXPECT_EQ(Cell(*h, 0, 1), " 0");
  EXPECT_EQ(Cell(*h, 0, 10), " 9");
  EXPECT_EQ(Cell(*h, 1, 0), "L(00)");
  EXPECT_EQ(Cell(*h, 10, 0), "L(90)");
  EXPECT_EQ(Cell(*h, 6, 1), "85.3");  // L50

  // "Limit" twice: the list panel as it was.
  const bool shown = !h->Picture1->isHidden();
  h->ToolbarClicked("Limit");
  h->ToolbarClicked("Limit");
  EXPECT_EQ(!h->Picture1->isHidden(), shown);

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

TEST_F(HistogramTest, WholeDecibelsInTheLnTableOnlyForAPcRecording) {
  RecordListWindow& real = OpenList({"85.3", "85.3"});
  real.Cmd1dB->click();
  EXPECT_EQ(Cell(*panel_->windows().histogram(), 6, 1), "85");
  RecordListWindow& memory = OpenList({"85.3", "85.3"}, true);
  memory.Cmd1dB->click();
  EXPECT_EQ(Cell(*panel_->windows().histogram(), 6, 1), "85.3");
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

TEST_F(HistogramTest, ListHistogramPrintsThroughTheDialogAsAVectorPageWithTitleAndCaptions) {
  RecordListWindow& list = OpenList({"70.0", "71.0"});
  list.Cmd01dB->click();
  Histogram& h = *panel_->windows().histogram();
  // The dialog is asked, as everywhere: it offers a PDF file without a printer.
  h.ToolbarClicked("Print");
  EXPECT_EQ(printing_.asked, 1);
  printing_.path = dir_.File("hist.pdf");
  h.ToolbarClicked("Print");
  EXPECT_EQ(PdfPages(printing_.path), 1);
  EXPECT_TRUE(h.Picture1->isHidden());
  const std::string text = test::PdfText(printing_.path);
  EXPECT_NE(text.find("Histogram, 0.1 dB classes - 2 of 2 records counted"), std::string::npos)
      << text;
  EXPECT_NE(text.find("Frequency (Times)"), std::string::npos);
  EXPECT_NE(text.find("dB"), std::string::npos);
  // Drawn as vectors: no picture in the file.
  EXPECT_EQ(test::ProgramOutput("pdfimages", {"-list", QString::fromStdString(printing_.path)})
                .find(" image "),
            std::string::npos);
}

}  // namespace
}  // namespace slm
