#include "core/textlist.h"

#include <algorithm>

namespace vx
{

TextList::TextList(const QStringList& texts)
{
    for (const QString& text : texts)
        append(text);
}

TextList::TextList(QString block, QList<Span> spans)
{
    if (!spans.isEmpty())
        pushSegment({std::move(block), std::move(spans), false});
}

std::pair<qsizetype, qsizetype> TextList::locate(qsizetype row) const
{
    const auto end = std::upper_bound(m_ends.cbegin(), m_ends.cend(), row);
    const qsizetype segment = end - m_ends.cbegin();
    const qsizetype first = segment == 0 ? 0 : m_ends.at(segment - 1);
    return {segment, row - first};
}

QStringView TextList::at(qsizetype row) const
{
    Q_ASSERT(row >= 0 && row < size());
    const auto [segment, local] = locate(row);
    const Segment& s = m_segments.at(segment);
    const Span& span = s.spans.at(local);
    return QStringView(s.block.constData() + span.begin, span.size);
}

void TextList::pushSegment(Segment segment)
{
    m_ends.append(size() + segment.spans.size());
    m_segments.append(std::move(segment));
}

void TextList::append(QStringView text)
{
    if (m_segments.isEmpty() || !m_segments.back().growable)
        pushSegment({QString(), {}, true});
    Segment& last = m_segments.back();
    const QChar* start = last.block.constData();
    // A text from this very block would move with it as the block grows.
    QString copy;
    if (!last.block.isEmpty() && text.data() >= start && text.data() < start + last.block.size()) {
        copy = text.toString();
        text = copy;
    }
    last.spans.append({last.block.size(), text.size()});
    last.block.append(text);
    ++m_ends.back();
}

void TextList::append(const TextList& other)
{
    for (const Segment& segment : other.m_segments) {
        Segment shared = segment;
        // Single texts added later go to a block of this list's own.
        shared.growable = false;
        pushSegment(std::move(shared));
    }
}

void TextList::appendShared(const Segment& segment, const Span& span)
{
    if (!m_segments.isEmpty()) {
        Segment& last = m_segments.back();
        if (!last.growable && last.block.constData() == segment.block.constData()) {
            last.spans.append(span);
            ++m_ends.back();
            return;
        }
    }
    pushSegment({segment.block, {span}, false});
}

void TextList::removeAt(qsizetype row)
{
    if (row < 0 || row >= size())
        return;
    const auto [segment, local] = locate(row);
    Segment& s = m_segments[segment];
    s.spans.removeAt(local);
    if (s.spans.isEmpty()) {
        m_segments.removeAt(segment);
        m_ends.removeAt(segment);
    }
    for (qsizetype k = segment; k < m_ends.size(); ++k)
        --m_ends[k];
}

void TextList::clear()
{
    m_segments.clear();
    m_ends.clear();
}

QStringList TextList::toStringList() const
{
    QStringList texts;
    texts.reserve(size());
    forEach([&](QStringView text) { texts.append(text.toString()); });
    return texts;
}

bool operator==(const TextList& a, const TextList& b)
{
    if (a.size() != b.size())
        return false;
    // Walk both lists side by side; their segments need not line up.
    qsizetype row = 0;
    bool same = true;
    a.forEach([&](QStringView text) {
        if (same && text != b.at(row))
            same = false;
        ++row;
    });
    return same;
}

} // namespace vx
