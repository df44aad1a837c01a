// The list and graph windows from the keyboard: Ctrl+P prints, Tab leaves
// the record table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "files/data_file_reader.h"
#include "windows/panel_fixture.h"

namespace slm {
namespace {

using test::PanelTest;

bool ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  return QTest::qWaitForWindowActive(&window);
}

class WindowKeyboard : public PanelTest {
 protected:
  void SetUp() override {
    panel_ = OnlinePanel();
    meter_.model().SetLevel(70.0);
    Seconds(*panel_, 4);
  }
  std::unique_ptr<Panel> panel_;
};

TEST_F(WindowKeyboard, CtrlPPrintsCtrlGPlotsAndCtrlHAsksForTheHistogramResolution) {
  FileList list(dialogs_);
  DataFile file = OpenDataFile(SLM_TEST_DATA_DIR "/data_logger_2.dlgr");
  list.Load(std::move(file.list), file.title);
  int prints = 0;
  int plots = 0;
  list.on_print = [&prints] { ++prints; };
  list.on_plot = [&plots](const RecordList&) { ++plots; };
  ASSERT_TRUE(ShowActive(list));
  QTest::keyClick(&list, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(prints, 1);
  QTest::keyClick(&list, Qt::Key_G, Qt::ControlModifier);
  EXPECT_EQ(plots, 1);
  EXPECT_TRUE(list.PicResolution->isHidden());
  QTest::keyClick(&list, Qt::Key_H, Qt::ControlModifier);
  EXPECT_FALSE(list.PicResolution->isHidden());
  // The resolution buttons are next for Tab, so the keyboard can finish it.
  EXPECT_EQ(list.Cmd01dB->focusPolicy() & Qt::TabFocus, Qt::TabFocus);
}

TEST_F(WindowKeyboard, TabLeavesTheListTable) {
  FileListReal list(dialogs_);
  DataFile file = OpenDataFile(SLM_TEST_DATA_DIR "/plain_list.dlgr");
  list.Load(std::move(file.list), file.title);
  ASSERT_TRUE(ShowActive(list));
  list.GridN->setFocus();
  list.GridN->setCurrentIndex(list.GridN->model()->index(0, 0));
  QTest::keyClick(list.GridN, Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), list.GridN);
}

// Ctrl+P in the live graphs presses their "Print" as a click does, the
// time plot's a moment later.
TEST_F(WindowKeyboard, CtrlPPrintsTheLiveGraphs) {
  panel_->windows().OpenLiveTimePlot(LiveSeries::kLeq);
  panel_->side->charts->CWDec->on_clicked();
  EXPECT_EQ(panel_->windows().real_time_graph()->CmdPrint->text(), "Print Graph");
  for (QWidget* window : std::initializer_list<QWidget*>{panel_->windows().real_time_graph(),
                                                         panel_->windows().real_histogram()}) {
    const int asked = printing_.asked;
    ASSERT_TRUE(ShowActive(*window));
    QTest::keyClick(window, Qt::Key_P, Qt::ControlModifier);
    for (int i = 0; i < 50 && printing_.asked == asked; ++i) QTest::qWait(20);
    EXPECT_EQ(printing_.asked, asked + 1) << window->objectName().toStdString();
  }
}

}  // namespace
}  // namespace slm
