#pragma once

#include "core/catalogue.h"
#include "ui/dialogs.h"
#include "ui/form.h"

#include <optional>

namespace vx
{

class edit_rom_list;
class mnu_list;
struct StartupReading;
class VerdictLabel;

// The hub: commands at the left, the detail view of the last viewed game at the right.
class main : public Form
{
    Q_OBJECT

public:
    static main& get();
    main();

    void Form_Load() override;

    // What start-up does that the hub's first paint need not wait for: the sweep of temporaries
    // left by an interrupted rewrite or export, and the browser's list filled from the index. The
    // load holds it back until just after the first paint, or about 200 ms for a hub that is not
    // painted; then the folders and the index are read on a worker thread, and what they hold
    // is taken in when that is done.
    static void beginStartup();
    // Begins that if it has not begun, and waits for it with the busy pointer, painting but
    // holding clicks back. A command that needs the browser's list as start-up leaves it calls
    // this first. Does nothing when no hub is waiting for it.
    static void finishStartup();
    bool startupPending() const;

    // Title strip and corners.
    Label* Label1;  // the strip that drags the window
    Label* Label2;  // window menu: the close strip
    Label* Label9;  // minimize
    Label* Label10; // end the program
    // Commands.
    Label* Label4;  // Add ROM
    Label* Label5;  // Edit ROM
    Label* Label6;  // Copy ROM
    Label* Label7;  // Export ROM
    Label* Label8;  // View ROM
    Label* Label11; // Setup: the options window
    Label* Label12; // About/Help
    // Detail view of the game viewed.
    Label* Label3; // description
    Label* lbl_title1;
    ImageBox* Image1;
    Label* Label13;        // game type
    Label* Label14;        // size
    Label* Label15;        // average file size
    Label* Label16;        // ROM path
    VerdictLabel* Label17; // what the DAT makes of the ROM, under its path
    Label* file_path;
    CommonDialog cd1;

    static constexpr quint32 kRestColor = 0xFF0000;
    static constexpr quint32 kHoverColor = 0x0000FF;

    void Label1_MouseDown();
    void Label2_Click();
    void Label4_Click();
    void Label5_Click();
    void Label6_Click();
    void Label7_Click();
    void Label8_Click();
    void Label9_Click();
    void Label10_Click();
    void Label11_Click();
    void Label12_Click();
    void Form_MouseMove();

    // The game the detail view shows: its name and its record as read when it was viewed.
    struct ViewedGame {
        QString title;
        catalogue::Record record;
    };
    // Shows the game in the detail view; Export takes its ROM from here.
    void showGame(const QString& title, const catalogue::Record& record);
    // A renamed game stays in the detail view under its new name.
    void followRename(const QString& from, const QString& to);
    // The detail view empties when it shows `title`, a game no longer in the catalogue; the edit
    // window closes when it holds it.
    void forgetGame(const QString& title);
    // The game last viewed; none before the first.
    const std::optional<ViewedGame>& viewedGame() const { return m_viewed; }
    // The length line's text when the ROM file cannot be measured.
    static QString missingRomText();

    // A ROM file dropped on the hub: Add ROM, with the file as the game's ROM.
    void addDroppedRom(const QString& path);

    // The options window beside the hub, as Setup opens it.
    void openOptions();
    // The options window beside the hub, offered when Export finds no export folder: placed a
    // little lower than Setup places it, and not kept on top.
    void offerOptions();

    // The seven command labels in their order.
    QList<Label*> commands() const;

    // The hub's menu (right button, the menu key or Shift+F10): import ROMs, rebuild the index.
    void openHubMenu(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    static void takeStartupReading(quint64 generation, StartupReading& reading);
    // Place below the hub by `offset` twips and 300 to the right, show, keep on top, and give it
    // the keyboard.
    void openBeside(Form& window, double offset);
    // The browser and the picker, with what they tell the hub connected.
    mnu_list& browser();
    edit_rom_list& picker();
    // The edit window, filled by the picker, beside the hub.
    void showEditor();
    // The path line, and the verdict under it when a DAT is set.
    void showRomPath(const QString& path);

    std::optional<ViewedGame> m_viewed;
    // The path line last shortened, for its width: views of one ROM repeat it.
    struct Shortened {
        QString line;
        int width = -1;
        QString text;
    } m_shortened;
    bool m_viewing = false;
    bool m_editing = false;
};

} // namespace vx
