#include "graph/assessment_report.h"

#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <numeric>
#include <utility>

#include "assessment/assessment_output.h"
#include "assessment/event_counts.h"
#include "assessment/survey_output.h"
#include "base/calendar.h"
#include "base/version.h"
#include "graph/assessment_chart.h"
#include "graph/file_device.h"
#include "qt/widget_text.h"

namespace slm {

namespace {

constexpr int kResolution = 300;  // dots per inch of the PDF's coordinates
constexpr double kSmallestTablePoints = 6;

QFont PageFont(double points, bool bold = false) {
  QFont font("DejaVu Sans");
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

// A table as it is painted: its captions, its cells as people read them,
// and which columns are figures, which line up on the right.
struct Table {
  QStringList header;
  std::vector<QStringList> rows;
  std::vector<bool> right;
};

Table QtTable(const FigureTable& t) {
  Table out;
  for (const Column& column : t.columns) {
    out.header << Latin1(HeaderText(column));
    out.right.push_back(IsFigure(column));
  }
  for (const std::vector<Cell>& row : t.rows) {
    QStringList cells;
    for (std::size_t c = 0; c < t.columns.size(); ++c)
      cells << Latin1(ShownText(t.columns[c], row[c]));
    out.rows.push_back(cells);
  }
  return out;
}

using Draw = std::function<void(QPainter&)>;

// Lays the report out page by page before anything is painted, so that each
// page can say how many there are.
class Layout {
 public:
  explicit Layout(const QPaintDevice& device)
      : device_(device), width_(device.width()), body_(device.height() - Mm(9)), pages_(1) {}

  double Mm(double mm) const { return mm * device_.logicalDpiY() / 25.4; }
  double width() const { return width_; }
  const std::vector<std::vector<Draw>>& pages() const { return pages_; }

  void NewPage() {
    pages_.emplace_back();
    y_ = 0;
  }
  // Starts a new page unless `height` fits below what is there.
  void Need(double height) {
    if (y_ > 0 && y_ + height > body_) NewPage();
  }
  void Space(double height) { y_ = std::min(y_ + height, body_); }

  void Paragraph(const QString& text, const QFont& font, double gap_after = 0) {
    const QFontMetricsF metrics(font, &device_);
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, width_, 1e6), Qt::TextWordWrap, text);
    Need(bounds.height());
    const QRectF at(0, y_, width_, bounds.height());
    Add([=](QPainter& p) {
      p.setFont(font);
      p.setPen(Qt::black);
      p.drawText(at, Qt::TextWordWrap, text);
    });
    y_ += bounds.height() + gap_after;
  }

  // A heading never ends a page: it keeps `keep` of what it heads with it.
  void Heading(const QString& text, double keep_mm = 25) {
    const QFont font = PageFont(11, true);
    Need(QFontMetricsF(font, &device_).lineSpacing() + Mm(keep_mm + 6));
    Space(y_ > 0 ? Mm(4) : 0);
    Paragraph(text, font, Mm(1.5));
  }

  // Captions and their values side by side, each value's lines wrapped in
  // the width the captions leave.
  void Fields(const std::vector<std::pair<QString, QString>>& fields, const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    const QFontMetricsF metrics(font, &device_);
    double left = 0;
    for (const auto& field : fields) {
      left = std::max(left, QFontMetricsF(bold, &device_).horizontalAdvance(field.first));
    }
    left = std::min(left + Mm(4), width_ / 3);
    for (const auto& [caption, value] : fields) {
      // A line at a time, so that long remarks go on over a page.
      QString shown = caption;
      for (const QString& line : value.split('\n')) {
        const QRectF bounds =
            metrics.boundingRect(QRectF(0, 0, width_ - left, 1e6), Qt::TextWordWrap, line);
        const double height = std::max(bounds.height(), metrics.lineSpacing());
        Need(height);
        const QRectF at(0, y_, width_, height);
        Add([=](QPainter& p) {
          p.setPen(Qt::black);
          p.setFont(bold);
          p.drawText(at, Qt::AlignLeft | Qt::AlignTop, shown);
          p.setFont(font);
          p.drawText(at.adjusted(left, 0, 0, 0), Qt::TextWordWrap, line);
        });
        y_ += height;
        shown.clear();
      }
      y_ += Mm(0.8);
    }
  }

  void Chart(double height, std::function<void(QPainter&, const QRectF&)> paint) {
    Need(height);
    const QRectF at(0, y_, width_, height);
    Add([=](QPainter& p) { paint(p, at); });
    y_ += height + Mm(2);
  }

  // A table as wide as it needs, in type as large as fits (8 points down to
  // 6, or `points` when given); on a new page it starts again with its header.
  void AddTable(const Table& t, double points = 0) {
    const std::size_t columns = static_cast<std::size_t>(t.header.size());
    const std::vector<bool>& right = t.right;
    const bool fixed = points > 0;
    if (!fixed) points = 8;
    std::vector<double> widths;
    const double pad = Mm(2.2);
    for (;; points -= 0.5) {
      widths = ColumnWidths(t, PageFont(points), PageFont(points, true), pad);
      if (fixed || std::accumulate(widths.begin(), widths.end(), 0.0) <= width_ ||
          points <= kSmallestTablePoints) {
        break;
      }
    }
    double total = std::accumulate(widths.begin(), widths.end(), 0.0);
    if (total > width_ && columns > 2) {
      // Too many columns (many percentiles): the table goes on below in parts,
      // each with the first column again, rather than lose a figure.
      std::vector<std::vector<std::size_t>> parts(1, {0});
      double used = widths[0];
      for (std::size_t c = 1; c < columns; ++c) {
        if (parts.back().size() > 1 && used + widths[c] > width_) {
          parts.push_back({0});
          used = widths[0];
        }
        parts.back().push_back(c);
        used += widths[c];
      }
      if (parts.size() > 1) {
        for (const std::vector<std::size_t>& part : parts) AddTable(Columns(t, part), points);
        return;
      }
    }
    // Still too wide (a long path, a long reason): the widest column gives way.
    std::vector<bool> elide(columns, false);
    if (total > width_) {
      const std::size_t widest =
          static_cast<std::size_t>(std::max_element(widths.begin(), widths.end()) - widths.begin());
      widths[widest] = std::max(Mm(15), widths[widest] - (total - width_));
      elide[widest] = true;
    }
    const QFont font = PageFont(points);
    const QFont bold = PageFont(points, true);
    const double row_height = QFontMetricsF(bold, &device_).lineSpacing() * 1.25;

    const double shown = std::min(total, width_);
    auto row_drawer = [columns, right, widths, elide, font, bold, row_height, pad, shown](
                          const QStringList& cells, bool header, double y) {
      return [=](QPainter& p) {
        p.setPen(Qt::black);
        if (header) {
          p.fillRect(QRectF(0, y, shown, row_height), QColor(225, 230, 240));
        }
        p.setFont(header ? bold : font);
        double x = 0;
        for (std::size_t c = 0; c < columns && c < static_cast<std::size_t>(cells.size()); ++c) {
          const QRectF cell(x + pad / 2, y, widths[c] - pad, row_height);
          QString text = cells[static_cast<qsizetype>(c)];
          if (elide[c]) text = p.fontMetrics().elidedText(text, Qt::ElideMiddle, cell.width());
          p.drawText(cell, Qt::AlignVCenter | (right[c] ? Qt::AlignRight : Qt::AlignLeft), text);
          x += widths[c];
        }
        if (header) {
          p.setPen(QPen(QColor(90, 90, 90), 0));
          p.drawLine(QPointF(0, y + row_height), QPointF(shown, y + row_height));
        }
      };
    };

    Need(2 * row_height);
    Add(row_drawer(t.header, true, y_));
    y_ += row_height;
    for (const QStringList& row : t.rows) {
      if (y_ + row_height > body_) {
        NewPage();
        Add(row_drawer(t.header, true, y_));
        y_ += row_height;
      }
      Add(row_drawer(row, false, y_));
      y_ += row_height;
    }
    y_ += Mm(1.5);
  }

 private:
  void Add(Draw draw) { pages_.back().push_back(std::move(draw)); }

  static Table Columns(const Table& t, const std::vector<std::size_t>& columns) {
    Table part;
    for (const std::size_t c : columns) {
      part.header << t.header[static_cast<qsizetype>(c)];
      part.right.push_back(t.right[c]);
    }
    for (const QStringList& row : t.rows) {
      QStringList cells;
      for (const std::size_t c : columns) cells << row.value(static_cast<qsizetype>(c));
      part.rows.push_back(cells);
    }
    return part;
  }

  std::vector<double> ColumnWidths(const Table& t, const QFont& font, const QFont& bold,
                                   double pad) const {
    const QFontMetricsF metrics(font, &device_);
    const QFontMetricsF bold_metrics(bold, &device_);
    std::vector<double> widths;
    for (const QString& caption : t.header)
      widths.push_back(bold_metrics.horizontalAdvance(caption));
    for (const QStringList& row : t.rows) {
      for (qsizetype c = 0; c < row.size() && c < t.header.size(); ++c) {
        widths[static_cast<std::size_t>(c)] =
            std::max(widths[static_cast<std::size_t>(c)], metrics.horizontalAdvance(row[c]));
      }
    }
    for (double& w : widths) w += pad;
    return widths;
  }

  const QPaintDevice& device_;
  double width_;
  double body_;  // the page's height above its footer
  double y_ = 0;
  std::vector<std::vector<Draw>> pages_;
};

// Only the file's name: a report goes to people who do not share this computer's folders.
QString FileName(const std::string& path) {
  return QFileInfo(QFile::decodeName(path.c_str())).fileName();
}

// The survey's fields given, the calibration check and the notes, under
// their headings.
void LayOutSurvey(Layout& l, const AssessmentReportContent& c, const AssessmentTables& tables,
                  const QFont& text) {
  const FigureTable survey = SurveyTable(c.survey);
  if (!survey.rows.empty()) {
    l.Heading("Survey");
    std::vector<std::pair<QString, QString>> fields;
    for (const std::vector<Cell>& row : survey.rows) {
      fields.emplace_back(Latin1(CellText(survey.columns[0], row[0])),
                          Latin1(CellText(survey.columns[1], row[1])));
    }
    l.Fields(fields, PageFont(9));
  }
  if (!tables.calibration.rows.empty()) {
    l.Heading("Calibration check");
    l.AddTable(QtTable(ByFigure(tables.calibration)));
  }
  // The notes: the calibration check in words, the rules the figures follow,
  // what the files tell (files measured differently, a clock set back).
  std::vector<std::string> notes = c.remarks;
  notes.insert(notes.end(), tables.notes.begin(), tables.notes.end());
  if (!notes.empty()) {
    l.Heading("Notes");
    for (const std::string& note : notes) l.Paragraph(Latin1("- " + note), text, l.Mm(0.8));
  }
}

// The events counted by day and by hour, the loudest in full, and all of
// them when asked (or when there are no more than the loudest).
void LayOutEvents(Layout& l, const AssessmentReportContent& c, const FigureTable& events,
                  const QFont& text) {
  const Assessment& a = *c.assessment;
  std::int64_t seconds = 0;
  for (const ExceedanceEvent& e : a.events) seconds += e.end - e.start;
  l.Paragraph(QString("%1 event%2, %3 s in all. They are counted by the day and the hour of the "
                      "day they start in, on the records' own clock.")
                  .arg(a.events.size())
                  .arg(a.events.size() == 1 ? "" : "s")
                  .arg(seconds),
              text, l.Mm(1.5));
  const FigureTable per_day = EventsPerDay(a);
  l.Heading(Latin1(per_day.title));
  l.AddTable(QtTable(per_day));
  // The day's 24 hours on one page.
  const FigureTable per_hour = EventsPerHour(a);
  l.Heading(Latin1(per_hour.title), 115);
  l.AddTable(QtTable(per_hour));
  constexpr std::size_t kLoudest = 10;
  if (!c.all_events && a.events.size() > kLoudest) {
    const FigureTable loudest = LoudestEvents(events, kLoudest);
    l.Heading(Latin1(loudest.title + ", by Lmax"));
    l.AddTable(QtTable(loudest));
    l.Paragraph(QString("The list of all %1 events is left out of this report: ask for it when the "
                        "Assessment window writes the report, or with slmtool assess --all-events.")
                    .arg(a.events.size()),
                text);
    return;
  }
  l.Heading("Every event");
  l.AddTable(QtTable(events));
}

void LayOut(Layout& l, const AssessmentReportContent& c) {
  const Assessment& a = *c.assessment;
  const AssessmentSettings& s = *c.settings;
  const QFont text = PageFont(8.5);

  l.Paragraph("Noise assessment", PageFont(16, true), l.Mm(1.5));
  l.Paragraph(Latin1("Measured from " + ClockText(a.start) + " to " + ClockText(a.end) +
                     " (the records' own clock)"),
              PageFont(10), l.Mm(1));
  l.Paragraph(Latin1("Report made on " + DateText(LinearSeconds(PcDateTime())) + " with slmpanel " +
                     kProgramVersion + "."),
              text, l.Mm(2));
  const AssessmentTables tables = BuildTables(a, s, c.lists);
  LayOutSurvey(l, c, tables, text);

  l.Heading("Files and meter settings");
  Table files = QtTable(FilesTable(c.files));
  for (std::size_t i = 0; i < c.files.size(); ++i) files.rows[i][0] = FileName(c.files[i].path);
  l.AddTable(files);
  l.Heading("Assessment settings");
  l.AddTable(QtTable(SettingsTable(s)));

  l.Heading("Summary");
  l.AddTable(QtTable(ByFigure(tables.totals)));
  l.Heading("Days");
  const std::array<int, 3> hours = PartHours(s.part_starts);
  l.Paragraph(QString("Each day runs from its day start to the next one, its night into the next "
                      "morning. Lden weighs the evening +5 dB and the night +10 dB over %1, %2 "
                      "and %3 hours; a day with a part missing has no Lden. Coverage is the "
                      "share of each part the counted records stand for.")
                  .arg(hours[0])
                  .arg(hours[1])
                  .arg(hours[2]),
              text, l.Mm(1.5));
  l.AddTable(QtTable(tables.days));
  l.Heading(Latin1(tables.months.title));
  l.AddTable(QtTable(tables.months));
  l.Heading(Latin1(tables.years.title));
  l.AddTable(QtTable(tables.years));

  l.Heading("Time history", 95);
  // Painted after the layout, while `c` still holds what it points to.
  l.Chart(l.Mm(95), [levels = c.levels, settings = c.settings, assessment = c.assessment](
                        QPainter& p, const QRectF& r) {
    PaintTimeHistory(p, r, *levels, *settings, *assessment);
  });

  l.Heading(Latin1(tables.intervals.title));
  l.AddTable(QtTable(tables.intervals));

  if (!a.events_assessed) {
    l.Heading("Events");
    l.Paragraph("No threshold was set, so no events were sought.", text);
  } else {
    l.Heading(Latin1(tables.events.title));
    if (a.events.empty()) {
      l.Paragraph("No event reached the threshold.", text);
    } else {
      LayOutEvents(l, c, tables.events, text);
    }
  }

  l.Heading("Distribution of levels", 70);
  l.Chart(l.Mm(70),
          [settings = c.settings, assessment = c.assessment](QPainter& p, const QRectF& r) {
            PaintLevelHistogram(p, r, *settings, *assessment);
          });
  QString percentiles;
  for (std::size_t i = 0; i < s.percentiles.size() && i < a.total.percentiles.size(); ++i) {
    percentiles += Latin1((i > 0 ? ", L" : "L") + std::to_string(s.percentiles[i]) + " " +
                          OneDecimal(a.total.percentiles[i]) + " dB");
  }
  l.Paragraph("Percentile levels of the counted records: " + percentiles + ".", text);

  l.Heading("Stretches left out");
  if (s.exclusions.empty()) {
    l.Paragraph("None.", text);
  } else {
    l.Paragraph(QString("%1 records were left out of every figure above.").arg(a.excluded), text,
                l.Mm(1.5));
    l.AddTable(QtTable(tables.exclusions));
  }
}

}  // namespace

int PaintAssessmentReport(QPagedPaintDevice& device, const AssessmentReportContent& content) {
  Layout layout(device);
  LayOut(layout, content);
  QPainter painter;
  if (!painter.begin(&device)) return 0;
  const int count = static_cast<int>(layout.pages().size());
  const QFont footer = PageFont(7);
  const QRectF footer_rect(0, device.height() - layout.Mm(5), device.width(), layout.Mm(5));
  const Assessment& a = *content.assessment;
  const QString footer_left =
      Latin1("Noise assessment, " + ClockText(a.start) + " to " + ClockText(a.end));
  for (int page = 0; page < count; ++page) {
    if (page > 0) device.newPage();
    for (const Draw& draw : layout.pages()[static_cast<std::size_t>(page)]) draw(painter);
    painter.setFont(footer);
    painter.setPen(QColor(80, 80, 80));
    painter.drawText(footer_rect, Qt::AlignLeft | Qt::AlignBottom, footer_left);
    painter.drawText(footer_rect, Qt::AlignRight | Qt::AlignBottom,
                     QString("Page %1 of %2").arg(page + 1).arg(count));
  }
  painter.end();
  return count;
}

int WriteAssessmentReport(const std::string& path, const AssessmentReportContent& content) {
  int pages = 0;
  WriteDrawnFile(path, [&](QIODevice& device) {
    QPdfWriter writer(&device);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter);
    writer.setResolution(kResolution);
    writer.setTitle("Noise assessment");
    writer.setCreator(QString("slmpanel %1").arg(kProgramVersion));
    pages = PaintAssessmentReport(writer, content);
    return pages > 0;
  });
  return pages;
}

}  // namespace slm
