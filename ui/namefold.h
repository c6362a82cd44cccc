#pragma once

#include "core/textlist.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace vx
{

// A name as a reader compares it, case and accents aside: decomposed, its combining marks
// dropped, case-folded ("Pokémon" gives "pokemon").
QString foldName(QStringView name);

// The folded names of a list, each folded once and all kept in one block, so that finding a
// part of a name at every keystroke is one pass over plain text.
class FoldedNames
{
public:
    qsizetype size() const { return m_ends.size(); }
    // Folds the names of `all` past the ones kept: a list only grows at its end.
    void extend(const TextList& all);
    void removeAt(qsizetype row);
    void clear();
    // Whether the folded name at `row` holds `foldedPart`.
    bool contains(qsizetype row, QStringView foldedPart) const;

private:
    QString m_block;
    QList<qsizetype> m_ends;
};

} // namespace vx
