#include "ui/namefold.h"

#include <algorithm>

namespace vx
{

namespace
{

bool isAscii(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

void appendFolded(QString& out, QStringView name)
{
    // Most names are plain ASCII: lower case is all their folding.
    if (isAscii(name)) {
        for (const QChar c : name) {
            const char16_t u = c.unicode();
            out.append(QChar(u >= 'A' && u <= 'Z' ? char16_t(u + ('a' - 'A')) : u));
        }
        return;
    }
    const QString decomposed = name.toString().normalized(QString::NormalizationForm_D);
    QString kept;
    kept.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() != QChar::Mark_NonSpacing && c.category() != QChar::Mark_Enclosing)
            kept.append(c);
    }
    out.append(kept.toCaseFolded());
}

} // namespace

QString foldName(QStringView name)
{
    QString folded;
    appendFolded(folded, name);
    return folded;
}

void FoldedNames::extend(const TextList& all)
{
    qsizetype row = 0;
    all.forEach([&](QStringView name) {
        if (row++ < size())
            return;
        appendFolded(m_block, name);
        m_ends.append(m_block.size());
    });
}

void FoldedNames::removeAt(qsizetype row)
{
    if (row < 0 || row >= size())
        return;
    const qsizetype begin = row == 0 ? 0 : m_ends[row - 1];
    const qsizetype length = m_ends[row] - begin;
    m_block.remove(begin, length);
    m_ends.removeAt(row);
    for (qsizetype i = row; i < m_ends.size(); ++i)
        m_ends[i] -= length;
}

void FoldedNames::clear()
{
    m_block.clear();
    m_ends.clear();
}

bool FoldedNames::contains(qsizetype row, QStringView foldedPart) const
{
    if (row < 0 || row >= size())
        return false;
    const qsizetype begin = row == 0 ? 0 : m_ends[row - 1];
    return QStringView(m_block).sliced(begin, m_ends[row] - begin).contains(foldedPart);
}

} // namespace vx
