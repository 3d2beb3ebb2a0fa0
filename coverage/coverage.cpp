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
    values_.resize(((last - kOneBits) >> kShift) + 2);
    for (std::size_t k = 0; k < values_.size(); ++k) {
      const std::uint32_t middle = kOneBits + (static_cast<std::uint32_t>(k) << kShift) + (1u << (kShift - 1));
      float u;
      std::memcpy(&u, &middle, sizeof u);
      values_[k] = static_cast<float>(std::pow(static_cast<double>(u), -exponent));
    }
  }
  // Beyond the table the term is below 1e-30 of the one right under a
  // loudspeaker and counts for nothing.
  double operator()(double u) const {
    const std::uint32_t k = (Bits(static_cast<float>(std::max(u, 1.0))) - kOneBits) >> kShift;
    return k < values_.size() ? values_[k] : 0.0;
  }

 private:
  static constexpr std::uint32_t kOneBits = 0x3f800000;  // 1.0f
  static constexpr int kShift = 12;
  static std::uint32_t Bits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  }
  std::vector<float> values_;
};

// Sums every source's term into every cell, row by row. `add(sum, dx2, n, a)`
// adds the terms of one source to a row of n cells, dx2 holding their squared
// distances along the length and a the squared distance across plus the
// height squared. `level(sum)` turns a cell's sum into dB.
template <class Add, class Level>
CoverageMap SumRows(const CoverageField& field, const SourceRows& sources, Add add, Level level) {
  CoverageMap map;
  map.columns = field.columns;
  map.rows = field.rows;
  map.cellLength = field.length / map.columns;
  map.cellWidth = field.width / map.rows;
  map.spl.resize(static_cast<std::size_t>(map.columns) * map.rows);

  // Squared distances along the length, once per loudspeaker column; per row
  // only the width term changes. The points of a row are the innermost loop:
  // each has its own sum, so the compiler can work on several at once without
  // reordering any one sum.
  const std::size_t columnCount = static_cast<std::size_t>(map.columns);
  std::vector<std::vector<double>> dx2(sources.columnSets.size());
  for (std::size_t set = 0; set < dx2.size(); ++set) {
    const std::vector<double>& xs = sources.columnSets[set];
    dx2[set].resize(xs.size() * columnCount);
    for (std::size_t i = 0; i < xs.size(); ++i) {
      for (std::size_t c = 0; c < columnCount; ++c) {
        const double d = (c + 0.5) * map.cellLength - xs[i];
        dx2[set][i * columnCount + c] = d * d;
      }
    }
  }
  const double height = field.height;
  std::vector<double> sums(columnCount);
  double min = HUGE_VAL, max = -HUGE_VAL;
  std::size_t within = 0;
  for (int r = 0; r < map.rows; ++r) {
    const double y = (r + 0.5) * map.cellWidth;
    std::fill(sums.begin(), sums.end(), 0.0);
    double* const sum = sums.data();
    for (std::size_t j = 0; j < sources.ys.size(); ++j) {
      const double d = y - sources.ys[j];
      const double dy2h = d * d + height * height;
      const std::size_t set = static_cast<std::size_t>(sources.rowSet[j]);
      const std::size_t nx = sources.columnSets[set].size();
      for (std::size_t i = 0; i < nx; ++i) add(sum, &dx2[set][i * columnCount], columnCount, dy2h);
    }
    float* const out = &map.spl[static_cast<std::size_t>(r) * columnCount];
    for (std::size_t c = 0; c < columnCount; ++c) {
      const double spl = level(sum[c]);
      out[c] = static_cast<float>(spl);
      min = std::min(min, spl);
      max = std::max(max, spl);
      if (std::fabs(spl - field.target) <= field.deviation) ++within;
    }
  }
  CoverageSummary& summary = map.summary;
  summary.computed = true;
  summary.min = min;
  summary.max = max;
  summary.share = static_cast<double>(within) / static_cast<double>(map.spl.size());
  return map;
}

CoverageMap Omnidirectional(const CoverageField& field, const SourceRows& sources) {
  return SumRows(
      field, sources,
      [](double* sum, const double* dx, std::size_t n, double a) {
        for (std::size_t c = 0; c < n; ++c) sum[c] += 1 / (dx[c] + a);
      },
      [&field](double sum) { return field.offset + 10 * std::log10(sum); });
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
  if (field.directivity == 0) return Omnidirectional(field, sources);
  const double h2 = field.height * field.height;
  const double maxU = (field.length * field.length + field.width * field.width + h2) / h2;
  const PowerTable table(field.directivity + 1, maxU * 1.01);
  const double perH2 = 1 / h2;
  const double offset = field.offset - 10 * std::log10(h2);
  return SumRows(
      field, sources,
      [&table, perH2](double* sum, const double* dx, std::size_t n, double a) {
        for (std::size_t c = 0; c < n; ++c) sum[c] += table((dx[c] + a) * perH2);
      },
      [offset](double sum) { return offset + 10 * std::log10(sum); });
}

CoverageMap ComputeLevelsDirect(const CoverageField& field, const SourceRows& sources) {
  if (field.directivity == 0) return Omnidirectional(field, sources);
  const double h2 = field.height * field.height, n = field.directivity;
  return SumRows(
      field, sources,
      [h2, n](double* sum, const double* dx, std::size_t count, double a) {
        for (std::size_t c = 0; c < count; ++c) {
          const double r2 = dx[c] + a;
          sum[c] += std::pow(h2 / r2, n) / r2;
        }
      },
      [&field](double sum) { return field.offset + 10 * std::log10(sum); });
}

}  // namespace halvex
