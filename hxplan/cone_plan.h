// One room's cone plan: the layout by coverage angle, its power and taps and
// the level over the listening plane, in plain text or as JSON.
#pragma once

#include <string>

#include "cone/layout.h"
#include "hxplan/options.h"

namespace halvex::plan {

// The cone inputs for these options: each value's number, sign dropped, as
// typed fields are read.
cone::ConeInputs ConeInputsFor(const Options& options);

// `map` is the level over the floor (or why there is none); the share is of
// the cells within the target +- deviation.
std::string PlainConePlan(const cone::ConeInputs& inputs, const cone::ConeLayout& layout, const CoverageMap& map,
                          int deviation);
std::string JsonConePlan(const cone::ConeInputs& inputs, const cone::ConeLayout& layout, const CoverageMap& map,
                         int deviation);
// The same for a model outside the catalogue (a library's).
std::string PlainConePlan(const cone::ConeInputs& inputs, const cone::ConeModel& model, const cone::ConeLayout& layout,
                          const CoverageMap& map, int deviation);
std::string JsonConePlan(const cone::ConeInputs& inputs, const cone::ConeModel& model, const cone::ConeLayout& layout,
                         const CoverageMap& map, int deviation);

// A length as cone plans show it: feet to 0.1, or metres to 0.01.
std::string ConeLengthText(double feet, bool metric);

}  // namespace halvex::plan
