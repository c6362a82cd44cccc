#pragma once

#include "core/cartridge.h"
#include "ui/base/gameform.h"

namespace vx
{

class VerdictLabel;

// The add window: a new game's name, paths, type, size and description. Its fields keep what
// was typed between openings; a ROM's header fills those still empty.
class mnu_add_rom : public GameForm
{
    Q_OBJECT

public:
    static mnu_add_rom& get();
    mnu_add_rom();

    PictureBox* const Picture1;      // browse for the ROM
    PictureBox* const Picture6;      // browse for the picture
    PictureBox* const Picture5;      // save
    PictureBox* const Picture4;      // cancel
    VerdictLabel* const lbl_verdict; // what the DAT makes of the ROM chosen

    void Picture1_MouseDown();
    void Picture6_MouseDown();
    void Picture4_MouseDown();
    void Picture5_MouseDown();

    // A ROM path given to the window (chosen, dropped, or from the hub): it goes into the path
    // box and the cartridge's header fills the boxes still empty, once it has been read.
    void takeRomPath(const QString& path) override;

private:
    void readCartridge(const QString& path);
    void fillFromCartridge(const QString& path, const cartridge::Details& details);

    cartridge::Reader* m_reader;
    // The path last sent to the reader, so leaving the box unchanged does not read it again.
    QString m_lastRead;
};

} // namespace vx
