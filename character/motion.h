#pragma once
#include <cstdint>

namespace companion {

enum class MotionState : int32_t {
  Idle = 0,
  Walk = 1,
  SitDown = 2,
  Seated = 3,
  LieDown = 4,
  Asleep = 5,
  Rise = 6,
  Wave = 7,
};

}  // namespace companion
