#include "ui/base/gameform.h"

#include "art/art.h"
#include "core/cartridge.h"
#include "ui/filedrops.h"
#include "ui/formbuild.h"
#include "ui/gamebrowse.h"
#include "ui/units.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace vx
{

namespace
{

enum class Kind { Line, Choice, Text };

// One field of a game, as both windows show it.
struct Field {
    const char* objectName;
    // As the field's caption on the window reads, for assistive technology.
    const char* accessibleName;
    Kind kind;
    QString GameEntry::*value;
    QStringList choices;
};

// In the order of the tab chain.
const std::array<Field, GameForm::FieldCount>& fields()
{
    static const std::array<Field, GameForm::FieldCount> table{{
        {"Text1", "Game Name", Kind::Line, &GameEntry::name, {}},
        {"Text2", "File Path", Kind::Line, &GameEntry::romPath, {}},
        {"Text3", "Picture Path", Kind::Line, &GameEntry::imagePath, {}},
        {"Combo1", "Game Type", Kind::Choice, &GameEntry::gameType, {"US", "JAP", "PAL", "Other!"}},
        {"Combo2",
         "Size",
         Kind::Choice,
         &GameEntry::sizeText,
         {"64", "96", "128", "256", "320", "Other!"}},
        {"Text4", "Description", Kind::Text, &GameEntry::description, {}},
    }};
    return table;
}

// A button, by GameForm::Button.
struct ButtonLook {
    const char* accessibleName;
    const char* description;
    PicturePtr (*picture)(bool pressed);
    std::array<const char*, GameForm::WindowCount> names;
};

const std::array<ButtonLook, GameForm::ButtonCount> kButtons{{
    {"Browse", "Choose the ROM file", art::browseButton, {"Picture1", "Picture1"}},
    {"Browse", "Choose the picture file", art::browseButton, {"Picture6", "Picture2"}},
    {"OK", nullptr, art::okButton, {"Picture5", "Picture3"}},
    {"Cancel", nullptr, art::cancelButton, {"Picture4", "Picture4"}},
}};

// Where each window has its controls, in twips: the fields in their order, then the buttons.
// The two windows were drawn apart and differ a little.
const std::array<std::array<QRectF, GameForm::WindowCount>,
                 GameForm::FieldCount + GameForm::ButtonCount>
    kPlaces{{
        // the add window, the edit window
        {{{1440, 120, 4095, 285}, {1440, 120, 4095, 285}}},
        {{{1440, 600, 3615, 285}, {1440, 600, 3495, 285}}},
        {{{1440, 1080, 3495, 285}, {1440, 960, 3495, 285}}},
        {{{1440, 1440, 1095, 330}, {1440, 1440, 1215, 315}}},
        {{{1440, 1920, 1095, 330}, {1440, 1920, 1215, 315}}},
        {{{240, 2520, 5295, 1455}, {120, 2520, 5415, 1335}}},
        {{{5160, 600, 255, 240}, {5160, 600, 285, 270}}},
        {{{5160, 960, 255, 255}, {5160, 1080, 255, 255}}},
        // The edit window's OK lies partly under its Cancel, made later.
        {{{3600, 4080, 750, 270}, {3720, 3960, 975, 255}}},
        {{{4560, 4080, 900, 270}, {4560, 3960, 735, 255}}},
    }};

struct WindowLook {
    const char* name;
    const char* title;
    QSizeF client;
    PicturePtr (*background)();
    // After the fields.
    std::array<GameForm::Button, GameForm::ButtonCount> tabOrder;
};

const std::array<WindowLook, GameForm::WindowCount> kWindows{{
    {"mnu_add_rom",
     "Add ROM",
     {5715, 4470},
     art::addBackground,
     {GameForm::BrowseRom, GameForm::Ok, GameForm::Cancel, GameForm::BrowsePicture}},
    {"mnu_edit_rom",
     "Edit ROM",
     {5745, 4470},
     art::editBackground,
     {GameForm::BrowseRom, GameForm::BrowsePicture, GameForm::Ok, GameForm::Cancel}},
}};

void placeIn(QWidget& control, const QRectF& twips)
{
    Form::place(control, twips.x(), twips.y(), twips.width(), twips.height());
}

QWidget* makeField(const Field& field, QWidget* parent)
{
    const QString name = QString::fromLatin1(field.objectName);
    switch (field.kind) {
    case Kind::Line:
        return makeControl<QLineEdit>(name, parent);
    case Kind::Choice:
        return makeCombo(name, parent, field.choices);
    case Kind::Text: {
        auto* box = makeControl<QPlainTextEdit>(name, parent);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setTabChangesFocus(true);
        return box;
    }
    }
    return nullptr;
}

QString textOf(const QWidget& control)
{
    if (const auto* line = qobject_cast<const QLineEdit*>(&control))
        return line->text();
    if (const auto* combo = qobject_cast<const QComboBox*>(&control))
        return combo->currentText();
    return typedText(static_cast<const QPlainTextEdit&>(control));
}

void setTextOf(QWidget& control, const QString& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(&control)) {
        line->setText(text);
        line->setCursorPosition(0);
    } else if (auto* combo = qobject_cast<QComboBox*>(&control)) {
        setComboText(*combo, text);
    } else {
        static_cast<QPlainTextEdit&>(control).setPlainText(text);
    }
}

} // namespace

GameForm::GameForm(Window window)
    : Form(QString::fromLatin1(kWindows.at(window).name), Qt::FramelessWindowHint | Qt::Tool)
{
    const WindowLook& look = kWindows.at(window);
    setWindowTitle(QString::fromLatin1(look.title));
    setClientSize(look.client.width(), look.client.height());
    setBackground(look.background());

    const QFont font = designFont(8.25);
    QList<QWidget*> tabChain;
    for (std::size_t i = 0; i < fields().size(); ++i) {
        const Field& field = fields()[i];
        QWidget* control = makeField(field, this);
        placeIn(*control, kPlaces.at(i).at(window));
        control->setFont(font);
        control->setAccessibleName(QString::fromLatin1(field.accessibleName));
        m_fields.at(i) = control;
        tabChain << control;
    }
    Text1 = qobject_cast<QLineEdit*>(m_fields[0]);
    Text2 = qobject_cast<QLineEdit*>(m_fields[1]);
    Text3 = qobject_cast<QLineEdit*>(m_fields[2]);
    Combo1 = qobject_cast<QComboBox*>(m_fields[3]);
    Combo2 = qobject_cast<QComboBox*>(m_fields[4]);
    Text4 = qobject_cast<QPlainTextEdit*>(m_fields[5]);

    for (std::size_t which = 0; which < kButtons.size(); ++which) {
        const ButtonLook& kind = kButtons.at(which);
        auto* box = new PictureBox(QString::fromLatin1(kind.names.at(window)), this);
        placeIn(*box, kPlaces.at(fields().size() + which).at(window));
        box->setPictures(kind.picture(false), kind.picture(true));
        box->setButton(QString::fromLatin1(kind.accessibleName));
        if (kind.description)
            box->setAccessibleDescription(QString::fromLatin1(kind.description));
        m_buttons.at(which) = box;
    }
    for (Button which : look.tabOrder)
        tabChain << button(which);
    for (qsizetype i = 1; i < tabChain.size(); ++i)
        setTabOrder(tabChain[i - 1], tabChain[i]);

    acceptFileDrops(
        *this,
        [](const QString& path) { return cartridge::hasRomSuffix(path) || hasPictureSuffix(path); },
        [this](const QString& path) { takeDroppedFile(path); }, QStringLiteral("ROM or picture"));
}

QWidget* GameForm::keyboardStart()
{
    return Text1;
}

void GameForm::takeRomPath(const QString& path)
{
    Text2->setText(path);
}

void GameForm::takeDroppedFile(const QString& path)
{
    if (hasPictureSuffix(path))
        Text3->setText(path);
    else
        takeRomPath(path);
}

GameEntry GameForm::typedEntry() const
{
    GameEntry entry;
    for (std::size_t i = 0; i < fields().size(); ++i)
        entry.*fields()[i].value = textOf(*m_fields.at(i));
    return entry;
}

void GameForm::showEntry(const GameEntry& entry)
{
    for (std::size_t i = 0; i < fields().size(); ++i)
        setTextOf(*m_fields.at(i), entry.*fields()[i].value);
}

void GameForm::browse(Button which)
{
    const bool rom = which == BrowseRom;
    QLineEdit& box = rom ? *Text2 : *Text3;
    if (browseGameFile(cd1, rom ? GameFile::Rom : GameFile::Picture, *this, box)) {
        if (rom)
            takeRomPath(cd1.FileName);
        else
            box.setText(cd1.FileName);
    }
    // The dialog took the release.
    button(which)->showReleased();
}

void GameForm::keyPressEvent(QKeyEvent* event)
{
    // Escape leaves the window as its Cancel picture does.
    if (event->key() == Qt::Key_Escape) {
        button(Cancel)->click();
        return;
    }
    Form::keyPressEvent(event);
}

} // namespace vx
