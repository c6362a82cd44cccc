#pragma once

#include "platform/form.h"

namespace vx
{

class mnu_add_rom : public Form
{
    Q_OBJECT

public:
    static mnu_add_rom& get();
    mnu_add_rom();
};

} // namespace vx
