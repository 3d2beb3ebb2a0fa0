#include "hxplan/project.h"

#include <array>
#include <cmath>
#include <unordered_map>

namespace halvex::plan {

long double LineVoltage(int lineVolts) { return lineVolts == 100 ? 100.0L : 70.7L; }

ProjectTotals ComputeTotals(const Project& project, int lineVolts) {
  ProjectTotals totals;
  std::array<long double, kModelCount> perModel{};
  std::array<bool, kModelCount> used{};
  std::array<long double, cone::kConeModelCount> perCone{};
  std::array<bool, cone::kConeModelCount> usedCone{};
  std::unordered_map<std::string, std::size_t> zoneIndex;
  for (const RoomPlan& room : project.rooms) {
    const long double count = room.cone ? room.coneLayout.total : room.result.totalCount;
    const long double tap = room.cone ? room.coneLayout.tap : room.result.tap;
    if (room.cone) {
      const auto model = static_cast<std::size_t>(room.coneInputs.modelIndex);
      perCone[model] += count;
      usedCone[model] = true;
    } else {
      const int model = room.inputs.modelIndex;
      perModel[model] += count;
      used[model] = true;
    }
    auto [found, added] = zoneIndex.emplace(room.zone, totals.zones.size());
    if (added) totals.zones.push_back(ZoneTotal{room.zone});
    ZoneTotal& zone = totals.zones[found->second];
    ++zone.rooms;
    zone.loudspeakers += count;
    if (tap == 0) zone.withoutTap += count;
    zone.tapSum += count * tap;
    totals.loudspeakers += count;
  }
  for (int model = 0; model < kModelCount; ++model) {
    if (used[model]) totals.models.push_back({false, model, perModel[model]});
  }
  for (int model = 0; model < cone::kConeModelCount; ++model) {
    const auto row = static_cast<std::size_t>(model);
    if (usedCone[row]) totals.models.push_back({true, model, perCone[row]});
  }
  const long double volts = LineVoltage(lineVolts);
  for (ZoneTotal& zone : totals.zones) {
    zone.amplifier = zone.tapSum / kAmplifierLoading;
    zone.impedance = zone.tapSum > 0 ? volts * volts / zone.tapSum : HUGE_VALL;
    totals.tapSum += zone.tapSum;
  }
  return totals;
}

}  // namespace halvex::plan
