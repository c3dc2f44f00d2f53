#include "platform.h"

namespace zol {

bool IsNtFamily() { return false; }

}  // namespace zol
