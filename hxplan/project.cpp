#include "hxplan/project.h"

#include <algorithm>
#include <cmath>

namespace halvex::plan {

long double LineVoltage(int lineVolts) { return lineVolts == 100 ? 100.0L : 70.7L; }

void TotalsBuilder::Add(const RoomPlan& room) {
  ++rooms_;
  const long double count = room.cone ? room.coneLayout.total : room.result.totalCount;
  const long double tap = room.cone ? room.coneLayout.tap : room.result.tap;
  const int index = room.cone ? room.coneInputs.modelIndex : room.inputs.modelIndex;
  std::vector<ModelTotal>& models = room.cone ? cone_ : planar_;
  const auto row = static_cast<std::size_t>(index);
  if (models.size() <= row) models.resize(row + 1);
  ModelTotal& model = models[row];
  if (model.name.empty()) {
    model = {room.cone, index, 0, room.cone ? room.coneModel.name : room.model.name, room.libraryModel};
  }
  model.loudspeakers += count;
  auto [found, added] = zoneIndex_.emplace(room.zone, zones_.size());
  if (added) {
    zones_.emplace_back();
    zones_.back().zone = room.zone;
  }
  ZoneTotal& zone = zones_[found->second];
  ++zone.rooms;
  zone.loudspeakers += count;
  if (tap == 0) zone.withoutTap += count;
  zone.tapSum += count * tap;
  loudspeakers_ += count;
  if (room.cable < 0) {
    ++zone.roomsWithoutCable;
  } else {
    zone.run = std::max<long double>(zone.run, room.run);
    if (zone.cable < 0 || kCables[static_cast<std::size_t>(room.cable)].ohmsPerKm >
                              kCables[static_cast<std::size_t>(zone.cable)].ohmsPerKm) {
      zone.cable = room.cable;
    }
  }
}

ProjectTotals TotalsBuilder::Finish(int lineVolts) const {
  ProjectTotals totals;
  totals.loudspeakers = loudspeakers_;
  for (const std::vector<ModelTotal>* models : {&planar_, &cone_}) {
    for (const ModelTotal& model : *models) {
      if (!model.name.empty()) totals.models.push_back(model);
    }
  }
  totals.zones = zones_;
  const long double volts = LineVoltage(lineVolts);
  for (ZoneTotal& zone : totals.zones) {
    zone.amplifier = zone.tapSum / kAmplifierLoading;
    zone.impedance = zone.tapSum > 0 ? volts * volts / zone.tapSum : HUGE_VALL;
    if (zone.cable >= 0) zone.loss = ComputeLineLoss(zone.run, zone.cable, zone.tapSum, volts);
    totals.tapSum += zone.tapSum;
  }
  return totals;
}

}  // namespace halvex::plan
