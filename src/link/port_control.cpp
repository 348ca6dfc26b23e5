#include "link/port_control.h"

namespace fjl::link {

TPortControl::TPortControl() = default;
TPortControl::~TPortControl() = default;

}  // namespace fjl::link
