#pragma once

#include "platform/form.h"

class QListWidget;

namespace vx
{

class edit_rom_list : public Form
{
    Q_OBJECT

public:
    static edit_rom_list& get();
    edit_rom_list();

    QListWidget* rom_list;
};

} // namespace vx
