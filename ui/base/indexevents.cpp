#include "ui/base/indexevents.h"

namespace vx
{

IndexEvents& IndexEvents::get()
{
    static IndexEvents events;
    return events;
}

} // namespace vx
