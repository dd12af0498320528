// The step of the move buttons grows and shrinks in decimal-friendly
// increments: a hundredth below 1, a tenth from 1 to 10, a whole metre from
// 10 to 100 and so on, so that "+" and "-" undo each other at every
// boundary (1 + gives 1,1 and - brings it back; 1 - gives 0,99 and + brings
// it back).
//
// Steps are fixed-point values with four decimals, scaled by 10 000 (the
// form textToFixed4 reads), so that no binary fraction creeps into the
// boundaries.
//
// Pure code: no widgets.
#pragma once

#include <cstdint>

namespace tarvel::geometry {

inline constexpr std::int64_t kStepOne = 10000; // 1 in fixed-point

// The step after "+". Below 1 it adds 0,01, from 1 up to below 10 it adds
// 0,1, then 1, 10 and 100 for the decades up to below 10 000; from 10 000 on
// it stays as it is (a larger step can only be typed).
std::int64_t stepUp(std::int64_t step);

// The step after "-". Above 0,01 up to 1 it subtracts 0,01, above 1 up to 10
// it subtracts 0,1, then 1, 10 and 100 for the decades up to 10 000; above
// 10 000 it subtracts only 0,01; at 0,01 or less it stays as it is.
std::int64_t stepDown(std::int64_t step);

} // namespace tarvel::geometry
