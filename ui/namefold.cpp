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

// The two call each other for a character's decomposition, which nests a few levels at most.
void appendFolded(QString& out, char32_t c); // NOLINT(misc-no-recursion)

void appendFolded(QString& out, QStringView name) // NOLINT(misc-no-recursion)
{
    // Most names are plain ASCII: lower case is all their folding.
    if (isAscii(name)) {
        const qsizetype from = out.size();
        out.append(name);
        for (auto *c = out.data() + from, *end = out.data() + out.size(); c != end; ++c) {
            if (c->unicode() >= 'A' && c->unicode() <= 'Z')
                *c = QChar(char16_t(c->unicode() + ('a' - 'A')));
        }
        return;
    }
    for (qsizetype i = 0; i < name.size(); ++i) {
        char32_t c = name[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(name[i].unicode(), name[i + 1].unicode());
            ++i;
        }
        appendFolded(out, c);
    }
}

// A character decomposed as QString::normalized(NormalizationForm_D) would, one character at
// a time (far quicker for names that are mostly plain), its combining marks dropped, the rest
// case-folded.
void appendFolded(QString& out, char32_t c) // NOLINT(misc-no-recursion)
{
    if (c < 0x80) {
        out.append(QChar(char16_t(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c)));
        return;
    }
    if (QChar::decompositionTag(c) == QChar::Canonical) {
        const QString parts = QChar::decomposition(c);
        appendFolded(out, QStringView(parts));
        return;
    }
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing)
        return;
    const char32_t folded = QChar::toCaseFolded(c);
    if (QChar::requiresSurrogates(folded)) {
        out.append(QChar(QChar::highSurrogate(folded)));
        out.append(QChar(QChar::lowSurrogate(folded)));
    } else {
        out.append(QChar(char16_t(folded)));
    }
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
    if (all.size() <= size())
        return;
    // Folded names are about as long as the names.
    m_block.reserve(m_block.size() + (all.size() - size()) * 32);
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
