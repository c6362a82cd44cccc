#pragma once

#include "ui/form.h"

namespace vx
{

// The first-run setup: creates the settings file, the bin folder and an empty index, telling
// the user each step, then hands over to the hub.
class mnu_setup : public Form
{
    Q_OBJECT

public:
    static mnu_setup& get();
    mnu_setup();

    void Form_Load() override;

    Label* Label1;

private:
    void status(const QString& text);
};

} // namespace vx
