#pragma once

#include "ui/form.h"

namespace vx
{

// The close strip over the hub's top-left corner: minimise, end, or put it away.
class main_close : public Form
{
    Q_OBJECT

public:
    static main_close& get();
    main_close();

    QWidget* keyboardStart() override;

    Label* Label1;
    Label* Label2;
    Label* Label3;

    void Label1_Click();
    void Label2_Click();
    void Label3_Click();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vx
