#include "hxplan/project.h"

#include <cmath>

namespace halvex::plan {

long double LineVoltage(int lineVolts) { return lineVolts == 100 ? 100.0L : 70.7L; }

void TotalsBuilder::Add(const RoomPlan& room) {
  ++rooms_;
  const long double count = room.cone ? room.coneLayout.total : room.result.totalCount;
  const long double tap = room.cone ? room.coneLayout.tap : room.result.tap;
  if (room.cone) {
    const auto model = static_cast<std::size_t>(room.coneInputs.modelIndex);
    perCone_[model] += count;
    usedCone_[model] = true;
  } else {
    const auto model = static_cast<std::size_t>(room.inputs.modelIndex);
    perModel_[model] += count;
    used_[model] = true;
  }
  auto [found, added] = zoneIndex_.emplace(room.zone, zones_.size());
  if (added) zones_.push_back(ZoneTotal{room.zone});
  ZoneTotal& zone = zones_[found->second];
  ++zone.rooms;
  zone.loudspeakers += count;
  if (tap == 0) zone.withoutTap += count;
  zone.tapSum += count * tap;
  loudspeakers_ += count;
}

ProjectTotals TotalsBuilder::Finish(int lineVolts) const {
  ProjectTotals totals;
  totals.loudspeakers = loudspeakers_;
  for (int model = 0; model < kModelCount; ++model) {
    const auto row = static_cast<std::size_t>(model);
    if (used_[row]) totals.models.push_back({false, model, perModel_[row]});
  }
  for (int model = 0; model < cone::kConeModelCount; ++model) {
    const auto row = static_cast<std::size_t>(model);
    if (usedCone_[row]) totals.models.push_back({true, model, perCone_[row]});
  }
  totals.zones = zones_;
  const long double volts = LineVoltage(lineVolts);
  for (ZoneTotal& zone : totals.zones) {
    zone.amplifier = zone.tapSum / kAmplifierLoading;
    zone.impedance = zone.tapSum > 0 ? volts * volts / zone.tapSum : HUGE_VALL;
    totals.tapSum += zone.tapSum;
  }
  return totals;
}

}  // namespace halvex::plan
