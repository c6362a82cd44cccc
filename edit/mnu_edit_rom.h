#pragma once

#include "platform/form.h"

namespace vx
{

class mnu_edit_rom : public Form
{
    Q_OBJECT

public:
    static mnu_edit_rom& get();
    mnu_edit_rom();
};

} // namespace vx
