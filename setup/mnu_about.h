#pragma once

#include "ui/form.h"

namespace vx
{

// The credits: one picture; a click anywhere puts it away.
class mnu_about : public Form
{
    Q_OBJECT

public:
    static mnu_about& get();
    mnu_about();

    void Form_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vx
