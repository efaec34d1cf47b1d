#include "clips.h"

namespace art {

Pose ClipPose(int clip, int frame) {
  (void)clip;
  (void)frame;
  return Pose{};
}

}  // namespace art
