#include "app/copy_export.h"

#include "app/vx_main.h"

namespace vx
{

void copyRom(main&) {}

void exportRom(main&) {}

} // namespace vx
