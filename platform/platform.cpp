#include "platform/platform.h"

namespace plat {

Platform* g_platform = nullptr;

}  // namespace plat
