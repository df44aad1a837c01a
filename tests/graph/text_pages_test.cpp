#include "graph/text_pages.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QPdfWriter>
#include <string>
#include <vector>

#include "support/pdf_pages.h"
#include "support/temp_dir.h"

namespace slm {
namespace {

using test::TempDir;

// Pages that `count` lines take on an A4 PDF, as many as the file holds.
int PagesFor(std::size_t count, const TempDir& dir) {
  const std::string path = dir.File("lines" + std::to_string(count) + ".pdf");
  int pages = 0;
  {
    QPdfWriter writer(QString::fromStdString(path));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    pages = PaintTextPages(writer, std::vector<std::string>(count, "line"), ReportFont());
  }
  EXPECT_EQ(test::PdfPages(path), pages) << count;
  return pages;
}

// In a fixed-width eight-point font.
TEST(TextPages, FillsEachPageBeforeStartingTheNext) {
  EXPECT_EQ(ReportFont().pointSize(), 8);
  EXPECT_TRUE(QFontInfo(ReportFont()).fixedPitch()) << ReportFont().family().toStdString();
  TempDir dir;
  EXPECT_EQ(PagesFor(0, dir), 1);
  EXPECT_EQ(PagesFor(1, dir), 1);
  // Find how many lines one page holds, then check the pages around it.
  std::size_t per_page = 1;
  while (PagesFor(per_page + 1, dir) == 1) {
    ++per_page;
    ASSERT_LT(per_page, 400u) << "an 8-point line on A4 is taller than this";
  }
  EXPECT_GT(per_page, 40u);  // 8 points a line on some 10 inches
  EXPECT_EQ(PagesFor(per_page + 1, dir), 2);
  EXPECT_EQ(PagesFor(2 * per_page, dir), 2);
  EXPECT_EQ(PagesFor(2 * per_page + 1, dir), 3);
}

}  // namespace
}  // namespace slm
