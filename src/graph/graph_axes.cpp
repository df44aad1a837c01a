// The graph's axes: their tickers, captions, ranges and scales, and the
// title line over the plot.
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

#include "graph/graph.h"
#include "graph/graph_state.h"

namespace slm {

using graph_detail::SetAxisRange;

namespace graph_detail {

double AxisTicker::getTickStep(const QCPRange& range) {
  switch (scale_) {
    case AxisScale::kWhole:
      step_ = WholeTickStep(range.size(), tickCount());
      break;
    case AxisScale::kClock:
      step_ = ClockTickStep(range.size(), tickCount());
      break;
    case AxisScale::kNumber:
      step_ = QCPAxisTicker::getTickStep(range);
      break;
  }
  return step_;
}

int AxisTicker::getSubTickCount(double step) {
  // Between whole steps of one, and between clock times, a sub-tick would
  // stand for nothing.
  if (scale_ == AxisScale::kClock || (scale_ == AxisScale::kWhole && step <= 1)) return 0;
  return QCPAxisTicker::getSubTickCount(step);
}

QVector<double> AxisTicker::createTickVector(double step, const QCPRange& range) {
  if (scale_ != AxisScale::kClock) return QCPAxisTicker::createTickVector(step, range);
  const std::vector<double> ticks = ClockTicks(range.lower, range.upper, step);
  return QVector<double>(ticks.begin(), ticks.end());
}

QVector<QString> AxisTicker::createLabelVector(const QVector<double>& ticks, const QLocale& locale,
                                               QChar format_char, int precision) {
  if (scale_ != AxisScale::kClock) {
    return QCPAxisTicker::createLabelVector(ticks, locale, format_char, precision);
  }
  QVector<QString> labels;
  for (const std::string& label :
       ClockTickLabels(std::vector<double>(ticks.begin(), ticks.end()), step_)) {
    labels.push_back(QString::fromLatin1(label));
  }
  return labels;
}

QString AxisTicker::getTickLabel(double tick, const QLocale& locale, QChar format_char,
                                 int precision) {
  if (scale_ == AxisScale::kWhole) {
    return locale.toString(static_cast<qlonglong>(std::llround(tick * factor_)));
  }
  return QCPAxisTicker::getTickLabel(tick * factor_, locale, format_char, precision);
}

}  // namespace graph_detail

void Graph::SetXCaption(const QString& caption) {
  plot_->xAxis->setLabel(caption);
  Replot();
}

void Graph::SetYCaption(const QString& caption) {
  // A screen reader names a graph by what it shows, unless its window named it.
  if (accessibleName().isEmpty()) setAccessibleName(caption);
  plot_->yAxis->setLabel(caption);
  FitYCaption();
  Replot();
}

void Graph::FitYCaption() {
  QFont font = plot_->font();
  const QString caption = plot_->yAxis->label();
  const int room = height() - 24;
  const int needed = QFontMetrics(font).horizontalAdvance(caption);
  if (!caption.isEmpty() && needed > room && room > 0) {
    const double size = font.pointSizeF() * room / needed;
    font.setPointSizeF(std::max(6.0, size));
  }
  plot_->yAxis->setLabelFont(font);
}

QString Graph::XCaption() const { return plot_->xAxis->label(); }
QString Graph::YCaption() const { return plot_->yAxis->label(); }

namespace graph_detail {

// An axis shows at least one unit: a range from 1 to 1 (a plot of no sample)
// becomes 1 to 2, and limits typed the wrong way round are taken in order.
void SetAxisRange(QCPAxis& axis, double min, double max) {
  if (max < min) std::swap(min, max);
  if (max - min < 1e-9) max = min + 1;
  axis.setRange(min, max);
}

}  // namespace graph_detail

void Graph::SetXRange(double min, double max) {
  SetAxisRange(*plot_->xAxis, min, max);
  Replot();
}

void Graph::SetYRange(double min, double max) {
  SetAxisRange(*plot_->yAxis, min, max);
  Replot();
}

AxisRange Graph::XRange() const {
  const QCPRange r = plot_->xAxis->range();
  return {r.lower, r.upper};
}

AxisRange Graph::YRange() const {
  const QCPRange r = plot_->yAxis->range();
  return {r.lower, r.upper};
}

void Graph::SetXLabelFormat(LabelFormat format) {
  state_->ticker->SetFactor(format == LabelFormat::kTenths ? 0.1 : 1.0);
  Replot();
}

void Graph::SetXScale(AxisScale scale) {
  state_->ticker->SetScale(scale);
  Replot();
}

void Graph::SetYScale(AxisScale scale) {
  state_->y_ticker->SetScale(scale);
  Replot();
}

void Graph::SetTitle(const QString& title) {
  state_->title_text = title;
  QCPLayoutGrid* layout = plot_->plotLayout();
  if (title.isEmpty()) {
    if (state_->title) {
      layout->remove(state_->title);
      layout->simplify();
      state_->title = nullptr;
    }
  } else if (!state_->title) {
    layout->insertRow(0);
    QFont font = plot_->font();
    font.setBold(true);
    state_->title = new QCPTextElement(plot_, title, font);
    layout->addElement(0, 0, state_->title);
  }
  SizeFor(width());
  Replot();
}

namespace {

// `title` broken between its " - " parts into lines that fit `width` pixels.
QString WrappedTitle(const QString& title, const QFont& font, int width) {
  const QFontMetrics metrics(font);
  const QStringList parts = title.split(QStringLiteral(" - "));
  QString text;
  QString line;
  for (const QString& part : parts) {
    const QString longer = line.isEmpty() ? part : line + QStringLiteral(" - ") + part;
    if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
      text += line + QLatin1Char('\n');
      line = part;
    } else {
      line = longer;
    }
  }
  return text + line;
}

}  // namespace

void Graph::SizeFor(int width) {
  // As many ticks as the room takes without their labels running together,
  // and never fewer than two labels.
  state_->ticker->setTickCount(std::clamp(width / 80, 3, 12));
  if (state_->title) {
    state_->title->setText(
        WrappedTitle(state_->title_text, state_->title->font(), std::max(200, width - 20)));
  }
  // As many key entries to a row as fit whole, at most four.
  if (state_->key && !state_->key_entries.empty()) {
    const QFontMetrics metrics(state_->key->font());
    int widest = 0;
    for (const QCPGraph* entry : state_->key_entries) {
      widest = std::max(widest, metrics.horizontalAdvance(entry->name()));
    }
    const int entry_width = widest + state_->key->iconSize().width() + 30;
    const int entries = static_cast<int>(state_->key_entries.size());
    const int per_row = std::clamp(width / entry_width, 1, std::min(entries, 4));
    if (per_row != state_->key->wrap()) {
      state_->key->setWrap(per_row);
      state_->key->setFillOrder(QCPLayoutGrid::foColumnsFirst, true);  // lays the entries out anew
    }
  }
}

QString Graph::Title() const { return state_->title_text; }

}  // namespace slm
