#pragma once

#include "ui/controls.h"

#include <QPointer>
#include <QWidget>

namespace vx
{

// A window placed and sized in twips, as the catalogue's windows were designed. The twips
// given are kept exactly (fractions of a pixel included) so they read back as set; the window
// sits at the nearest pixel. A move by the user or the window manager updates them.
class Form : public QWidget
{
    Q_OBJECT

public:
    explicit Form(const QString& name, Qt::WindowFlags flags = Qt::FramelessWindowHint);

    double Left() const { return m_left; }
    double Top() const { return m_top; }
    double Width() const { return m_width; }
    double Height() const { return m_height; }
    void setLeft(double twips);
    void setTop(double twips);
    // The client area; borderless windows have no other.
    void setClientSize(double widthTwips, double heightTwips);

    void setBackground(PicturePtr picture);
    PicturePtr background() const { return m_background; }

    // The window's load handler; runs once, when the window is first touched.
    virtual void Form_Load() {}

    // The program's main window. The others belong to it: the window manager keeps them above
    // it and minimises and restores them with it.
    static void setOwner(Form* owner);
    static Form* owner();

    // Where the keyboard starts when another window opens this one.
    virtual QWidget* keyboardStart() { return this; }

    // Raises a window just shown and gives it the keyboard, with the focus on `start` when
    // given. A window that stays in front (a notice) and is showing stays above it and keeps
    // the keyboard.
    void bringToFront(QWidget* start = nullptr);
    // The window the program last gave the keyboard to, while it shows.
    static Form* keyboardHolder();
    // Shows the window topmost and brings it to the front.
    void showOnTop(QWidget* start = nullptr);
    // Hands the keyboard on, when this window has it: to a window in front, else to the window
    // that had it before this one came to the front, else to the owner.
    void yieldKeyboard();
    // Marks a window that stays above the program's other windows while it shows.
    void setStaysInFront(bool on) { m_staysInFront = on; }
    bool staysInFront() const { return m_staysInFront; }

    void setVisible(bool visible) override;

    // Places a child control in twips.
    static void place(QWidget& control, double left, double top, double width, double height);
    static void placeAt(QWidget& control, double left, double top);

signals:
    // The pointer moved over the window's bare surface (not over a control).
    void surfaceMouseMoved();
    void surfaceClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyPosition();

    double m_left = 0;
    double m_top = 0;
    double m_width = 0;
    double m_height = 0;
    PicturePtr m_background;
    bool m_pressed = false;
    bool m_staysInFront = false;
    bool m_leaving = false;
    QPointer<QWidget> m_returnTo;
};

} // namespace vx
