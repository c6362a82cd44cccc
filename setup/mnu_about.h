#pragma once

#include "platform/form.h"

namespace vx
{

class mnu_about : public Form
{
    Q_OBJECT

public:
    static mnu_about& get();
    mnu_about();
};

} // namespace vx
