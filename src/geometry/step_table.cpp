#include "geometry/step_table.h"

namespace tarvel::geometry {

namespace {
constexpr std::int64_t kHundredth = kStepOne / 100;
constexpr std::int64_t kTenth = kStepOne / 10;
} // namespace

std::int64_t stepUp(std::int64_t step) {
    if (step < kStepOne) return step + kHundredth;
    if (step < 10 * kStepOne) return step + kTenth;
    if (step < 100 * kStepOne) return step + kStepOne;
    if (step < 1000 * kStepOne) return step + 10 * kStepOne;
    if (step < 10000 * kStepOne) return step + 100 * kStepOne;
    return step;
}

std::int64_t stepDown(std::int64_t step) {
    if (step <= kHundredth) return step;
    if (step <= kStepOne) return step - kHundredth;
    if (step <= 10 * kStepOne) return step - kTenth;
    if (step <= 100 * kStepOne) return step - kStepOne;
    if (step <= 1000 * kStepOne) return step - 10 * kStepOne;
    if (step <= 10000 * kStepOne) return step - 100 * kStepOne;
    // Far above the buttons' range only the finest decrement applies.
    return step - kHundredth;
}

} // namespace tarvel::geometry
