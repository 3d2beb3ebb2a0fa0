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
  // The table covers u from 0.5 (so a u that rounds a hair below 1 needs no
  // test) up to maxU, and the sum looks terms up without a bounds test.
  PowerTable(double exponent, float maxU) {
    values_.resize(((Bits(maxU) - kBaseBits) >> kShift) + 1);
    // The buckets' middles repeat their mantissas in every octave: one pow
    // per bucket of an octave and one per octave, not one per bucket.
    constexpr std::size_t kPerOctave = std::size_t{1} << (23 - kShift);
    std::vector<double> mantissas(kPerOctave);
    for (std::size_t k = 0; k < kPerOctave; ++k) {
      mantissas[k] = std::pow(1 + (k + 0.5) / kPerOctave, -exponent);
    }
    double octave = 1;  // 2^-m per octave from u = 1 up
    for (std::size_t k = 0; k < values_.size(); ++k) {
      if (k % kPerOctave == 0 && k > 0) octave = std::pow(2.0, -exponent * static_cast<double>(k / kPerOctave - 1));
      // Below u = 1 (rounding only) the value of u = 1.
      values_[k] = k < kPerOctave ? 1.0f : static_cast<float>(octave * mantissas[k % kPerOctave]);
    }
  }
  float operator()(float u) const { return values_[(Bits(u) - kBaseBits) >> kShift]; }

 private:
  static constexpr std::uint32_t kBaseBits = 0x3f000000;  // 0.5f
  static constexpr int kShift = 12;
  static std::uint32_t Bits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  }
  std::vector<float> values_;
};

// The largest distance from the first or last of `count` cells of `size`
// (the cell centres nearest the walls, those farthest from any loudspeaker)
// to any of the positions, computed as the engine computes each distance;
// infinity when one is not a number.
double FarthestDistance(const std::vector<double>& positions, int count, double size) {
  double farthest = 0;
  for (const double cell : {0.5 * size, (static_cast<double>(count - 1) + 0.5) * size}) {
    for (const double position : positions) {
      const double d = std::fabs(cell - position);
      if (!(d <= farthest)) farthest = std::isnan(d) ? HUGE_VAL : d;
    }
  }
  return farthest;
}

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

// Stores the level of each summed row of cells with its mirror images, and
// keeps the lowest, the highest and the count within the target.
class RowStore {
 public:
  RowStore(const CoverageField& field, CoverageMap& map, bool mirrorX, bool mirrorY)
      : field_(field), map_(map), mirrorX_(mirrorX), mirrorY_(mirrorY) {}

  // Row r from the sums of its first `columns` cells, in dB: offset + 10
  // log10(sum).
  void Store(std::size_t r, const double* sum, std::size_t columns, double offset) {
    const std::size_t columnCount = static_cast<std::size_t>(map_.columns);
    const std::size_t mirrorRow = static_cast<std::size_t>(map_.rows) - 1 - r;
    const std::size_t rowCopies = mirrorY_ && mirrorRow != r ? 2 : 1;
    float* const out = &map_.spl[r * columnCount];
    float* const outMirror = &map_.spl[mirrorRow * columnCount];
    for (std::size_t c = 0; c < columns; ++c) {
      const double spl = offset + 10 * std::log10(sum[c]);
      const std::size_t mirrorColumn = columnCount - 1 - c;
      out[c] = static_cast<float>(spl);
      if (mirrorX_) out[mirrorColumn] = out[c];
      if (mirrorY_) {
        outMirror[c] = out[c];
        if (mirrorX_) outMirror[mirrorColumn] = out[c];
      }
      min_ = std::min(min_, spl);
      max_ = std::max(max_, spl);
      if (std::fabs(spl - field_.target) <= field_.deviation) {
        within_ += rowCopies * (mirrorX_ && mirrorColumn != c ? 2 : 1);
      }
    }
  }

  void Finish() {
    CoverageSummary& summary = map_.summary;
    summary.computed = true;
    summary.min = min_;
    summary.max = max_;
    summary.share = static_cast<double>(within_) / static_cast<double>(map_.spl.size());
  }

 private:
  const CoverageField& field_;
  CoverageMap& map_;
  bool mirrorX_, mirrorY_;
  double min_ = HUGE_VAL, max_ = -HUGE_VAL;
  std::size_t within_ = 0;
};

// Sums every source's term into every cell, row by row. Terms::Add(sum, dx,
// n, a) adds the terms of one source to a row of n cells, dx holding
// Terms::Along of their distances along the length and a Terms::Across of
// the distance across; a cell's level is Terms::offset + 10 log10(sum). When
// the layout mirrors about the room's centre lines (and `mirror` allows it)
// only a half or a quarter of the cells is summed and the rest copied.
template <class Terms>
CoverageMap SumRows(const CoverageField& field, const SourceRows& sources, const Terms& terms, bool mirror) {
  using Distance = typename Terms::Distance;
  CoverageMap map;
  map.columns = field.columns;
  map.rows = field.rows;
  map.cellLength = field.length / map.columns;
  map.cellWidth = field.width / map.rows;
  map.spl.resize(static_cast<std::size_t>(map.columns) * map.rows);

  const bool mirrorX = mirror && MirroredAlongLength(field, sources);
  const bool mirrorY = mirror && MirroredAcrossWidth(field, sources);
  const std::size_t columnCount = static_cast<std::size_t>(map.columns), rowCount = static_cast<std::size_t>(map.rows);
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
  std::vector<double> sums(columns);
  RowStore store(field, map, mirrorX, mirrorY);
  for (std::size_t r = 0; r < rows; ++r) {
    const double y = (r + 0.5) * map.cellWidth;
    std::fill(sums.begin(), sums.end(), 0.0);
    for (std::size_t j = 0; j < sources.ys.size(); ++j) {
      const Distance a = terms.Across(y - sources.ys[j]);
      const std::size_t set = static_cast<std::size_t>(sources.rowSet[j]);
      const std::size_t nx = sources.columnSets[set].size();
      for (std::size_t i = 0; i < nx; ++i) terms.Add(sums.data(), &along[set][i * columns], columns, a);
    }
    store.Store(r, sums.data(), columns, terms.offset);
  }
  store.Finish();
  return map;
}

// Exact terms of wide dispersion: 1 / r².
struct OmnidirectionalTerms {
  using Distance = double;
  double height2;
  double offset;
  double Along(double d) const { return d * d; }
  double Across(double d) const { return d * d + height2; }
  void Add(double* sum, const double* dx, std::size_t n, double a) const {
    for (std::size_t c = 0; c < n; ++c) sum[c] += 1 / (dx[c] + a);
  }
};

// cos^2n / r² in full, with pow for every term.
struct DirectTerms {
  using Distance = double;
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
};

// cos^2n / r² from the table by u = r² / h², the squared distances kept in
// units of h² as floats (the table reads only a float's upper bits). One
// beyond 2^99 h² (or not a number) is taken as 2^99 h²: its term is below
// 1e-29 of the one right under a loudspeaker either way, and u and the table
// stay finite.
struct TableTerms {
  using Distance = float;
  static constexpr double kFar = 0x1p99;
  const PowerTable* table;
  double perHeight2;
  double offset;
  float Along(double d) const { return static_cast<float>(std::fmin(d * d * perHeight2, kFar)); }
  float Across(double d) const { return static_cast<float>(std::fmin(d * d * perHeight2, kFar) + 1); }
  void Add(double* sum, const float* dx, std::size_t n, float a) const {
    const PowerTable& t = *table;
    for (std::size_t c = 0; c < n; ++c) sum[c] += t(dx[c] + a);
  }
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
  TableTerms terms{nullptr, 1 / h2, field.offset - 10 * std::log10(h2)};
  // The largest u any cell and loudspeaker can give: every step from the
  // distances to u rounds monotonically, so no u of the sum exceeds it.
  double alongX = 0;
  for (const std::vector<double>& xs : sources.columnSets) {
    alongX = std::max(alongX, FarthestDistance(xs, field.columns, field.length / field.columns));
  }
  const double acrossY = FarthestDistance(sources.ys, field.rows, field.width / field.rows);
  const PowerTable table(field.directivity + 1, terms.Along(alongX) + terms.Across(acrossY));
  terms.table = &table;
  return SumRows(field, sources, terms, true);
}

CoverageMap ComputeLevelsDirect(const CoverageField& field, const SourceRows& sources) {
  if (field.directivity == 0) return Omnidirectional(field, sources, false);
  return SumRows(field, sources, DirectTerms{field.height * field.height, field.directivity, field.offset}, false);
}

}  // namespace halvex
