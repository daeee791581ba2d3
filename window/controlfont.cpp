#include "window/controlfont.h"

#include <algorithm>
#include <cmath>

namespace controlfont {

int condensedStretch(double advance, double room) {
  if (advance <= room) return 100;
  if (room <= 0) return 1;
  return std::clamp(static_cast<int>(std::floor(100.0 * room / advance)), 1, 99);
}

}  // namespace controlfont
