#include "hxplan/line_loss.h"

#include <cmath>
#include <string>

#include "hxplan/room_plan.h"

namespace halvex::plan {

int FindCable(std::string_view text) {
  std::string key;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == ' ') continue;
    if (text.compare(i, 2, "\xc2\xb2") == 0) {  // the ² of mm²
      key += '2';
      ++i;
      continue;
    }
    key += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  }
  for (std::size_t row = 0; row < kCables.size(); ++row) {
    std::string name(kCables[row].name);
    for (char& c : name) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    if (name == key) return static_cast<int>(row);
  }
  return -1;
}

namespace {

long double LoopOhms(long double runFeet, int cable) {
  return 2 * runFeet * kMetresPerFoot / 1000 * kCables[static_cast<std::size_t>(cable)].ohmsPerKm;
}

}  // namespace

LineLoss ComputeLineLoss(long double runFeet, int cable, long double tapSum, long double volts) {
  LineLoss loss;
  loss.loopOhms = LoopOhms(runFeet, cable);
  if (!(tapSum > 0)) {
    loss.loadOhms = HUGE_VALL;
    loss.maxRunFeet = HUGE_VALL;
    return loss;
  }
  loss.loadOhms = volts * volts / tapSum;
  const long double ratio = (loss.loadOhms + loss.loopOhms) / loss.loadOhms;
  loss.lossDb = 20 * std::log10(ratio);
  loss.powerLost = 100 * (1 - 1 / (ratio * ratio));
  loss.over = loss.lossDb > kMaxLineLoss;
  // (Z + R) / Z = 10^(0.5 / 20) at the longest run.
  const long double allowedOhms = loss.loadOhms * (std::pow(10.0L, kMaxLineLoss / 20) - 1);
  loss.maxRunFeet = runFeet > 0 ? runFeet * allowedOhms / loss.loopOhms : allowedOhms / LoopOhms(1, cable);
  if (loss.over) {
    const int family = kCables[static_cast<std::size_t>(cable)].family;
    for (std::size_t row = 0; row < kCables.size(); ++row) {
      const Cable& larger = kCables[row];
      if (larger.family == family && larger.ohmsPerKm < kCables[static_cast<std::size_t>(cable)].ohmsPerKm &&
          LoopOhms(runFeet, static_cast<int>(row)) <= allowedOhms) {
        loss.largerCable = static_cast<int>(row);
        break;
      }
    }
  }
  return loss;
}

}  // namespace halvex::plan
