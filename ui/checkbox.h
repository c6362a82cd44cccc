#pragma once

#include <QCheckBox>

namespace vx
{

// A check box in the windows' own look (art::paintCheckBox), taken with the keyboard as the
// picture buttons are: Tab reaches it, Space or Enter ticks it. Screen readers see a check box
// named by its caption.
class CheckBox : public QCheckBox
{
    Q_OBJECT

public:
    CheckBox(const QString& name, const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace vx
