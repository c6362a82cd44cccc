#pragma once

#include "platform/form.h"

namespace vx
{

class mnu_options : public Form
{
    Q_OBJECT

public:
    static mnu_options& get();
    mnu_options();
};

} // namespace vx
