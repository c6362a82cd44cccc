#include "ui/formbuild.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace vx
{

QComboBox* makeCombo(const QString& name, QWidget* parent, const QStringList& items)
{
    auto* combo = makeControl<QComboBox>(name, parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // Inline completion rewrote what was typed ("32" became "320") and, matching without regard
    // to case, tabbing through "us" stored "US".
    combo->setCompleter(nullptr);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    return combo;
}

void setComboText(QComboBox& combo, const QString& text)
{
    combo.setCurrentIndex(combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    combo.setEditText(text);
}

QString typedText(const QPlainTextEdit& box)
{
    QString text = box.document()->toRawText();
    for (QChar& c : text) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xfdd0: // a frame's start and end, which a plain text box never has
        case 0xfdd1:
            c = QLatin1Char('\n');
            break;
        default:
            break;
        }
    }
    return text;
}

} // namespace vx
