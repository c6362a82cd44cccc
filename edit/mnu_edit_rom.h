#pragma once

#include "core/catalogue.h"
#include "ui/base/gameform.h"

namespace vx
{

// The edit window: one stored game's paths, type, size and description. The record keeps the
// name it was opened under; the visible name box only shows it.
class mnu_edit_rom : public GameForm
{
    Q_OBJECT

public:
    static mnu_edit_rom& get();
    mnu_edit_rom();

    // Fills the window with a stored game, opened under `name`; the picker's choice.
    void open(const QString& name, const catalogue::Record& record);
    // After a removal: closes the window when the game it holds has no record any
    // more (saved, it would come back).
    void closeIfRemoved();
    // Empty until a game is opened, and a save then asks for a name.
    const QString& openedName() const { return m_openedName; }

    PictureBox* const Picture1; // browse for the ROM
    PictureBox* const Picture2; // browse for the picture
    PictureBox* const Picture3; // save
    PictureBox* const Picture4; // cancel

    void Picture1_MouseDown();
    void Picture2_MouseDown();
    void Picture3_Click();
    void Picture4_Click();

private:
    QString m_openedName;
};

} // namespace vx
