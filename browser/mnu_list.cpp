#include "browser/mnu_list.h"

#include "art/art.h"
#include "platform/forms.h"
#include "platform/units.h"
#include "store/vx_modules.h"

#include <QListWidget>

namespace vx
{

mnu_list& mnu_list::get()
{
    return lazyForm<mnu_list>();
}

mnu_list::mnu_list()
    : Form(QStringLiteral("mnu_list"), Qt::FramelessWindowHint | Qt::Tool),
      rom_list(new QListWidget(this)),
      Label1(new Label(QStringLiteral("Label1"), this, QStringLiteral("Double click to select"))),
      Label2(new Label(QStringLiteral("Label2"), this, QStringLiteral("Cancel")))
{
    setWindowTitle(QStringLiteral("View ROM"));
    setClientSize(2505, 3585);
    setBackground(art::listBackground());

    rom_list->setObjectName(QStringLiteral("rom_list"));
    place(*rom_list, 120, 120, 2295, 2970);
    rom_list->setFont(designFont(8.25));
    rom_list->setUniformItemSizes(true);
    QPalette pal = rom_list->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, colorFromBgr(0xFF0000));
    rom_list->setPalette(pal);

    placeAt(*Label1, 120, 3240);
    Label1->setFont(designFont(8.25));
    Label1->setForeColor(0xFF8080);
    Label1->setAutoSize(true);

    placeAt(*Label2, 1680, 3240);
    Label2->setFont(designFont(9.75, true, true));
    Label2->setForeColor(0xFF0000);
    Label2->setAutoSize(true);
    Label2->setAccessibleName(QStringLiteral("Cancel"));
    Label2->setFocusPolicy(Qt::TabFocus);
    Label2->setCursor(Qt::PointingHandCursor);

    connect(rom_list, &QListWidget::itemDoubleClicked, this, &mnu_list::rom_list_DblClick);
    connect(Label2, &Label::clicked, this, &mnu_list::Label2_Click);
}

void mnu_list::Form_Load()
{
    VX_modules::remove_duplicates(*rom_list);
}

void mnu_list::rom_list_DblClick() {}

void mnu_list::Label2_Click()
{
    hide();
}

} // namespace vx
