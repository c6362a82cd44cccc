#pragma once

#include "ui/controls.h"

namespace vx
{

// One line saying what the DAT makes of a ROM ("Verified: <game>", "Not in the DAT", "Header
// check failed: bad or modified dump"); empty while its checksums are computed and when no DAT
// is set. It keeps itself up to date as they arrive and as the DAT changes.
class VerdictLabel : public Label
{
    Q_OBJECT

public:
    VerdictLabel(const QString& name, QWidget* parent);

    // The ROM to judge; empty for none.
    void showFor(const QString& romPath);
    QString romPath() const { return m_path; }

private:
    void refresh();

    QString m_path;
};

} // namespace vx
