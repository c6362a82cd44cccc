#pragma once

#include "ui/form.h"

#include <QPointer>
#include <QTimer>
#include <functional>

namespace vx
{

class BackgroundCopy;

// The copy window: what is being copied, a bar, bytes done of the total, and a Cancel picture
// that stops the copy (as does Esc).
class mnu_progress : public Form
{
    Q_OBJECT

public:
    static mnu_progress& get();
    mnu_progress();

    // Shows the window over `over`, topmost and active with Cancel focused, following `copy`
    // until finish().
    void follow(BackgroundCopy& copy, const QString& name, const QWidget& over);
    // The same for work counted in items ("12 of 300"): `count` tells how far it has got (done,
    // total, cancelled), `cancel` stops it.
    struct Count {
        int done = 0;
        int total = 0;
        bool cancelled = false;
    };
    // `what` names what is counted (a folder's name), under the title.
    void followCount(const QString& title, const QString& what, std::function<Count()> count,
                     std::function<void()> cancel, const QWidget& over);
    void finish();

    Label* Label1;
    Label* Label2;
    QWidget* Bar1;
    PictureBox* Picture1;

    void Picture1_MouseUp();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();
    void setTitle(const QString& title);
    void showOver(const QWidget& over);

    QPointer<BackgroundCopy> m_copy;
    std::function<Count()> m_count;
    std::function<void()> m_cancel;
    QTimer m_refresh;
    double m_fraction = 0;
};

} // namespace vx
