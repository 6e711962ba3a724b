#include "framework/HeadlessSurface.h"

#include <cstdio>
#include <cstdlib>

namespace pw {

HeadlessSurface::HeadlessSurface(const std::vector<ControlSpec>& controls) {
  for (const ControlSpec& spec : controls) {
    Control& c = controls_[spec.id];
    c.caption = spec.caption;
    c.visible = spec.visible;
    c.enabled = spec.enabled;
  }
}

HeadlessSurface::Control& HeadlessSurface::At(int id) {
  auto it = controls_.find(id);
  if (it == controls_.end()) {
    std::fprintf(stderr, "HeadlessSurface: no control %d in the template\n", id);
    std::abort();
  }
  return it->second;
}

}  // namespace pw
