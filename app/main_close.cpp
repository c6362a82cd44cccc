#include "app/main_close.h"

#include "app/vx_main.h"
#include "art/art.h"
#include "ui/forms.h"
#include "ui/units.h"
#include "ui/windowing.h"

#include <QKeyEvent>

namespace vx
{

main_close& main_close::get()
{
    return lazyForm<main_close>();
}

main_close::main_close()
    : Form(QStringLiteral("main_close"), Qt::FramelessWindowHint | Qt::Tool),
      Label1(new Label(QStringLiteral("Label1"), this, QStringLiteral("Minimize"))),
      Label2(new Label(QStringLiteral("Label2"), this, QStringLiteral("Close"))),
      Label3(new Label(QStringLiteral("Label3"), this, QStringLiteral("X")))
{
    setWindowTitle(QStringLiteral("Vexloutil"));
    setClientSize(1860, 885);
    setBackground(art::closeStripBackground());

    const struct {
        Label* label;
        double left, top, points;
    } layout[] = {{Label1, 240, 120, 9.75}, {Label2, 240, 360, 9.75}, {Label3, 1440, 120, 11.25}};
    for (const auto& item : layout) {
        item.label->setFont(designFont(item.points, true, true));
        placeAt(*item.label, item.left, item.top);
        item.label->setAutoSize(true);
        item.label->setAccessibleName(item.label->text());
        item.label->setFocusPolicy(Qt::TabFocus);
        item.label->setCursor(Qt::PointingHandCursor);
    }

    connect(Label1, &Label::clicked, this, &main_close::Label1_Click);
    connect(Label2, &Label::clicked, this, &main_close::Label2_Click);
    connect(Label3, &Label::clicked, this, &main_close::Label3_Click);
}

void main_close::Label1_Click()
{
    minimizeWindow(main::get());
    hide();
}

void main_close::Label2_Click()
{
    endProgram();
}

void main_close::Label3_Click()
{
    hide();
}

void main_close::keyPressEvent(QKeyEvent* event)
{
    // Escape puts the strip away as its "X" does.
    if (event->key() == Qt::Key_Escape) {
        Label3_Click();
        return;
    }
    Form::keyPressEvent(event);
}

QWidget* main_close::keyboardStart()
{
    return Label1;
}

} // namespace vx
