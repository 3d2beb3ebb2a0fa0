#include "coverage/coverage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace halvex {

namespace {

// u^-m for u >= 1 (u the squared distance over the squared height, so
// cos^2n / r² = u^-(n+1) / h²), looked up by the upper bits of u as a float:
// 2^11 buckets per octave of u, each holding the value at its middle. A
// bucket spans at most 1/2048 of its u, so a value is off by at most
// m / 4096 of itself: 0.003 dB for m = 3.
class PowerTable {
 public:
  PowerTable(double exponent, double maxU) {
    const std::uint32_t last = Bits(static_cast<float>(std::min(maxU, 1e30)));
    values_.resize(((last - kBaseBits) >> kShift) + 2);
    for (std::size_t k = 0; k + 1 < values_.size(); ++k) {
      const std::uint32_t middle = kBaseBits + (static_cast<std::uint32_t>(k) << kShift) + (1u << (kShift - 1));
      float u;
      std::memcpy(&u, &middle, sizeof u);
      values_[k] = static_cast<float>(std::pow(static_cast<double>(std::max(u, 1.0f)), -exponent));
    }
    last_ = static_cast<std::uint32_t>(values_.size() - 1);
  }
  // Beyond the table (its last entry, 0) the term is below 1e-30 of the one
  // right under a loudspeaker and counts for nothing. The table starts at
  // u = 0.5, so a u that rounds a hair below 1 needs no test.
  float operator()(float u) const { return values_[std::min((Bits(u) - kBaseBits) >> kShift, last_)]; }

 private:
  static constexpr std::uint32_t kBaseBits = 0x3f000000;  // 0.5f
  static constexpr int kShift = 12;
  static std::uint32_t Bits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  }
  std::vector<float> values_;
  std::uint32_t last_ = 0;
};

// Whether positions in [0, extent] mirror about its middle, to well within
// any difference the level could show.
bool Mirrored(const std::vector<double>& xs, double extent) {
  const std::size_t n = xs.size();
  for (std::size_t k = 0; k < n; ++k) {
    if (!(std::fabs(xs[k] + xs[n - 1 - k] - extent) <= 1e-9 * extent)) return false;
  }
  return true;
}

bool MirroredAlongLength(const CoverageField& field, const SourceRows& sources) {
  return std::all_of(sources.columnSets.begin(), sources.columnSets.end(),
                     [&](const std::vector<double>& xs) { return Mirrored(xs, field.length); });
}

bool MirroredAcrossWidth(const CoverageField& field, const SourceRows& sources) {
  const std::size_t n = sources.ys.size();
  for (std::size_t j = 0; j < n; ++j) {
    if (sources.rowSet[j] != sources.rowSet[n - 1 - j]) return false;
  }
  return Mirrored(sources.ys, field.width);
}

// Sums every source's term into every cell, row by row. Terms::Add(sum, dx,
// n, a) adds the terms of one source to a row of n cells, dx holding
// Terms::Along of their distances along the length and a Terms::Across of
// the distance across; Terms::Level(sum) turns a cell's sum into dB. When
// the layout mirrors about the room's centre lines (and `mirror` allows it)
// only a half or a quarter of the cells is summed and the rest copied.
template <class Terms>
CoverageMap SumRows(const CoverageField& field, const SourceRows& sources, const Terms& terms, bool mirror) {
  using Distance = typename Terms::Distance;
  using Sum = typename Terms::Sum;
  CoverageMap map;
  map.columns = field.columns;
  map.rows = field.rows;
  map.cellLength = field.length / map.columns;
  map.cellWidth = field.width / map.rows;
  map.spl.resize(static_cast<std::size_t>(map.columns) * map.rows);

  const std::size_t columnCount = static_cast<std::size_t>(map.columns), rowCount = static_cast<std::size_t>(map.rows);
  const bool mirrorX = mirror && MirroredAlongLength(field, sources);
  const bool mirrorY = mirror && MirroredAcrossWidth(field, sources);
  const std::size_t columns = mirrorX ? (columnCount + 1) / 2 : columnCount;
  const std::size_t rows = mirrorY ? (rowCount + 1) / 2 : rowCount;

  // The distances along the length, once per loudspeaker column; per row
  // only the width term changes. The points of a row are the innermost loop:
  // each has its own sum, so the compiler can work on several at once without
  // reordering any one sum.
  std::vector<std::vector<Distance>> along(sources.columnSets.size());
  for (std::size_t set = 0; set < along.size(); ++set) {
    const std::vector<double>& xs = sources.columnSets[set];
    along[set].resize(xs.size() * columns);
    for (std::size_t i = 0; i < xs.size(); ++i) {
      for (std::size_t c = 0; c < columns; ++c) {
        along[set][i * columns + c] = terms.Along((c + 0.5) * map.cellLength - xs[i]);
      }
    }
  }
  std::vector<Sum> sums(columns);
  double min = HUGE_VAL, max = -HUGE_VAL;
  std::size_t within = 0;
  for (std::size_t r = 0; r < rows; ++r) {
    const double y = (r + 0.5) * map.cellWidth;
    std::fill(sums.begin(), sums.end(), Sum{0});
    Sum* const sum = sums.data();
    for (std::size_t j = 0; j < sources.ys.size(); ++j) {
      const Distance a = terms.Across(y - sources.ys[j]);
      const std::size_t set = static_cast<std::size_t>(sources.rowSet[j]);
      const std::size_t nx = sources.columnSets[set].size();
      for (std::size_t i = 0; i < nx; ++i) terms.Add(sum, &along[set][i * columns], columns, a);
    }
    const std::size_t mirrorRow = rowCount - 1 - r;
    const std::size_t rowCopies = mirrorY && mirrorRow != r ? 2 : 1;
    float* const out = &map.spl[r * columnCount];
    float* const outMirror = &map.spl[mirrorRow * columnCount];
    for (std::size_t c = 0; c < columns; ++c) {
      const double spl = terms.Level(sum[c]);
      const std::size_t mirrorColumn = columnCount - 1 - c;
      const std::size_t copies = rowCopies * (mirrorX && mirrorColumn != c ? 2 : 1);
      out[c] = static_cast<float>(spl);
      if (mirrorX) out[mirrorColumn] = out[c];
      if (mirrorY) {
        outMirror[c] = out[c];
        if (mirrorX) outMirror[mirrorColumn] = out[c];
      }
      min = std::min(min, spl);
      max = std::max(max, spl);
      if (std::fabs(spl - field.target) <= field.deviation) within += copies;
    }
  }
  CoverageSummary& summary = map.summary;
  summary.computed = true;
  summary.min = min;
  summary.max = max;
  summary.share = static_cast<double>(within) / static_cast<double>(map.spl.size());
  return map;
}

// Exact terms of wide dispersion: 1 / r².
struct OmnidirectionalTerms {
  using Distance = double;
  using Sum = double;
  double height2;
  double offset;
  double Along(double d) const { return d * d; }
  double Across(double d) const { return d * d + height2; }
  void Add(double* sum, const double* dx, std::size_t n, double a) const {
    for (std::size_t c = 0; c < n; ++c) sum[c] += 1 / (dx[c] + a);
  }
  double Level(double sum) const { return offset + 10 * std::log10(sum); }
};

// cos^2n / r² in full, with pow for every term.
struct DirectTerms {
  using Distance = double;
  using Sum = double;
  double height2;
  double n;
  double offset;
  double Along(double d) const { return d * d; }
  double Across(double d) const { return d * d + height2; }
  void Add(double* sum, const double* dx, std::size_t count, double a) const {
    for (std::size_t c = 0; c < count; ++c) {
      const double r2 = dx[c] + a;
      sum[c] += std::pow(height2 / r2, n) / r2;
    }
  }
  double Level(double sum) const { return offset + 10 * std::log10(sum); }
};

// cos^2n / r² from the table by u = r² / h², the squared distances kept in
// units of h² as floats (the table reads only a float's upper bits).
struct TableTerms {
  using Distance = float;
  using Sum = double;
  const PowerTable* table;
  double perHeight2;
  double offset;
  float Along(double d) const { return static_cast<float>(d * d * perHeight2); }
  float Across(double d) const { return static_cast<float>(d * d * perHeight2 + 1); }
  void Add(double* sum, const float* dx, std::size_t n, float a) const {
    const PowerTable& t = *table;
    for (std::size_t c = 0; c < n; ++c) sum[c] += t(dx[c] + a);
  }
  double Level(double sum) const { return offset + 10 * std::log10(sum); }
};

CoverageMap Omnidirectional(const CoverageField& field, const SourceRows& sources, bool mirror) {
  return SumRows(field, sources, OmnidirectionalTerms{field.height * field.height, field.offset}, mirror);
}

}  // namespace

double SourceRows::Count() const {
  double count = 0;
  for (const int set : rowSet) count += static_cast<double>(columnSets[static_cast<std::size_t>(set)].size());
  return count;
}

const char* CoverageLimit(double cells, double loudspeakers) {
  if (!(cells <= kMaxCoveragePoints)) return "the room is too large to check point by point";
  if (!(cells * loudspeakers <= kMaxCoverageTerms)) return "too many loudspeakers to check";
  return nullptr;
}

CoverageMap ComputeLevels(const CoverageField& field, const SourceRows& sources) {
  if (field.directivity == 0) return Omnidirectional(field, sources, true);
  const double h2 = field.height * field.height;
  const double maxU = (field.length * field.length + field.width * field.width + h2) / h2;
  const PowerTable table(field.directivity + 1, maxU * 1.01);
  return SumRows(field, sources, TableTerms{&table, 1 / h2, field.offset - 10 * std::log10(h2)}, true);
}

CoverageMap ComputeLevelsDirect(const CoverageField& field, const SourceRows& sources) {
  if (field.directivity == 0) return Omnidirectional(field, sources, false);
  return SumRows(field, sources, DirectTerms{field.height * field.height, field.directivity, field.offset}, false);
}

}  // namespace halvex
