// One room's plan, as the calculator window would show it, in plain text or
// as the window's texts in JSON.
#pragma once

#include <string>

#include "calc/layout.h"
#include "hxplan/options.h"

namespace halvex::plan {

// The room inputs the calculator would store for these options: the absolute
// value of each number, as typed fields are read.
RoomInputs InputsFor(const Options& options);

// Plain-text and JSON plans of a computed layout.
std::string PlainPlan(const RoomInputs& inputs, const LayoutResult& result);
std::string JsonPlan(const RoomInputs& inputs, const LayoutResult& result);
// The same for a model outside the catalogue (a library's).
std::string PlainPlan(const RoomInputs& inputs, const LoudspeakerModel& model, const LayoutResult& result);
std::string JsonPlan(const RoomInputs& inputs, const LoudspeakerModel& model, const LayoutResult& result);

// Why a room's inputs cannot be planned (the calculation refused them).
std::string WhyNotPlanned(const RoomInputs& inputs);

}  // namespace halvex::plan
