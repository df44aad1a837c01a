#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/plot_axes.h"

namespace slm {

// Sizes of the live sample history and of the two live class tables.
inline constexpr int kSampleHistorySize = 864001;  // entries per series
inline constexpr int kCoarseClassCount = 141;      // 1 dB classes 0 to 140
inline constexpr int kFineClassCount = 1401;       // 0.1 dB classes 0 to 1400

// Extremes of the sampled values, used for the histogram X ranges and the
// Y ranges of the large time plots. The level bounds only widen as samples
// arrive; Refresh() sets them back. The member values are the program-start
// values. The level bounds are whole numbers; "whole part" is taken towards
// minus infinity, which only matters for levels below 1 dB.
struct LiveRanges {
  double fine_low = 1450;   // FineLow: lowest level x 10
  double fine_high = 0;     // FineHigh: highest level x 10
  double coarse_low = 145;  // CoarseLow: whole part of (lowest level - 1)
  double coarse_high = 0;   // CoarseHigh: whole part of (highest level + 1)
  // The running Leq and SEL extremes keep the sampler's texts; they are
  // compared by their numeric value (LiveChartData::NumericValue).
  std::string leq_low = "145";  // LeqLow
  std::string leq_high = "0";   // LeqHigh
  std::string sel_low = "145";  // SELLow
  std::string sel_high = "0";   // SELHigh

  // The extremes of each strip series in dB.
  AxisRange LevelRange() const { return {fine_low / 10, fine_high / 10}; }
  AxisRange LeqRange() const;
  AxisRange SelRange() const;
};

// What the window does with one sample: append the three values to the strip
// charts CWG, CWLeq and CWSEL and set their Y ranges, set the X ranges of the
// histograms CWInt and CWDec, replot both from the class counts, and show
// exactly one of the two.
struct LiveChartUpdate {
  double level = 0;  // for CWG
  double leq = 0;    // for CWLeq: numeric value of the Leq text
  double sel = 0;    // for CWSEL: numeric value of the SEL text
  // The strip charts' Y ranges: each series' extremes widened by 1 dB.
  AxisRange level_y;
  AxisRange leq_y;
  AxisRange sel_y;
  AxisRange coarse_range;  // CWInt: (CoarseLow - 1, CoarseHigh + 1)
  AxisRange fine_range;    // CWDec: (FineLow - 1, FineHigh + 1)
  // True: CWDec shown and CWInt hidden (spread at most 30.0 dB);
  // false: CWInt shown and CWDec hidden.
  bool fine_visible = true;
};

// The live chart data of the panel: the PC sampler's sample history, the
// live class counts of the sampled levels and the live ranges. One instance
// lives as long as the program and is owned by the application object. The
// history is allocated once by the constructor (about 20 MB); storing a
// sample allocates nothing. Not copyable, so that nobody copies the history
// by accident; the large windows copy the spans they need.
class LiveChartData {
 public:
  using Count = std::int64_t;

  LiveChartData();
  LiveChartData(const LiveChartData&) = delete;
  LiveChartData& operator=(const LiveChartData&) = delete;

  // Takes one sample of the PC sampler: the level in dB (0.1 dB steps) and
  // the running Leq and SEL texts just computed for it. Counts the level in
  // its classes, widens the ranges, stores the sample in the history and
  // returns what the charts need. Levels without a class (below 0 dB, above
  // 140.0 dB) are not counted but still stored and returned for charting.
  LiveChartUpdate UpdateLiveCharts(double level, const std::string& leq_text,
                                   const std::string& sel_text);

  // The link to the meter was lost: all Coarse counters, then all Fine
  // counters become 0 and SampleCount becomes 0. The ranges stay; clearing
  // the CWG, CWInt and CWDec charts is the caller's part.
  void ResetAfterLinkLoss();

  // The toolbar's "Refresh": level bounds back to CoarseHigh 0, CoarseLow
  // 150, FineHigh 0, FineLow 1500 (not the program-start values), all
  // counters 0 and SampleCount 0. The Leq and SEL extremes stay.
  void Refresh();

  // SampleCount: the number of samples stored since the last reset or wrap,
  // which is also the index of the next entry.
  int sample_count() const { return sample_count_; }

  // Entries 0 to SampleCount - 1 of each series of the sample history.
  std::span<const double> levels() const { return {levels_.data(), Size()}; }
  std::span<const double> leqs() const { return {leqs_.data(), Size()}; }
  std::span<const double> sels() const { return {sels_.data(), Size()}; }

  // The whole arrays, including entries from before a wrap or a reset.
  std::span<const double> all_levels() const { return levels_; }
  std::span<const double> all_leqs() const { return leqs_; }
  std::span<const double> all_sels() const { return sels_; }

  // Coarse: class k counts the levels in the 1 dB class k dB.
  const std::array<Count, kCoarseClassCount>& coarse_counts() const { return coarse_; }
  // Fine: class k counts the levels of k / 10 dB.
  const std::array<Count, kFineClassCount>& fine_counts() const { return fine_; }

  const LiveRanges& ranges() const { return ranges_; }

  // The numeric value of a text: the number formed by its leading characters
  // (after leading blanks: sign, digits, decimal point, exponent), 0 when it
  // does not begin with a number or the number is beyond the range of a
  // double. "65.3*" gives 65.3, ".5" 0.5, "" and "---" 0. Independent of
  // the locale.
  static double NumericValue(std::string_view text);

 private:
  std::size_t Size() const { return static_cast<std::size_t>(sample_count_); }
  void ClearCounts();

  std::vector<double> levels_;
  std::vector<double> leqs_;
  std::vector<double> sels_;
  int sample_count_ = 0;
  std::array<Count, kCoarseClassCount> coarse_{};
  std::array<Count, kFineClassCount> fine_{};
  LiveRanges ranges_;
};

}  // namespace slm
