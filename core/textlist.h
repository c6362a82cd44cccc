#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace vx
{

// A list of texts kept as stretches of a few shared blocks of text rather than one string each.
// A whole file's worth of names is one block with one small entry per name, so reading,
// copying, appending or filtering a long list costs a few allocations, not one per name.
// Copies share their blocks; changing one copy never changes another.
class TextList
{
public:
    struct Span {
        qsizetype begin = 0;
        qsizetype size = 0;
    };
    // Entries `spans` of `block`.
    struct Segment {
        QString block;
        QList<Span> spans;
        // Filled one text at a time, so further single texts may be added to it.
        bool growable = false;
    };

    TextList() = default;
    explicit TextList(const QStringList& texts);
    // One block and the stretches of it that are entries; every span must lie inside it.
    TextList(QString block, QList<Span> spans);

    qsizetype size() const { return m_ends.isEmpty() ? 0 : m_ends.back(); }
    bool isEmpty() const { return size() == 0; }
    // Valid until this list is changed or destroyed.
    QStringView at(qsizetype row) const;
    QString string(qsizetype row) const { return at(row).toString(); }
    const QList<Segment>& segments() const { return m_segments; }

    void append(QStringView text);
    // Shares the other list's blocks.
    void append(const TextList& other);
    // Appends entry `span` of `segment` (a segment of another list), sharing its block.
    void appendShared(const Segment& segment, const Span& span);
    void removeAt(qsizetype row);
    void clear();

    QStringList toStringList() const;
    // Calls f(QStringView) for every entry in order.
    template <typename F> void forEach(F&& f) const
    {
        for (const Segment& segment : m_segments) {
            const QChar* chars = segment.block.constData();
            for (const Span& span : segment.spans)
                f(QStringView(chars + span.begin, span.size));
        }
    }

    // Calls f(segment, span, QStringView) for every entry in order, so a list made of some of
    // the entries can share their blocks (appendShared) rather than copy every text.
    template <typename F> void forEachEntry(F&& f) const
    {
        for (const Segment& segment : m_segments) {
            const QChar* chars = segment.block.constData();
            for (const Span& span : segment.spans)
                f(segment, span, QStringView(chars + span.begin, span.size));
        }
    }
    // The entries `keep` holds for, in order, sharing this list's blocks.
    template <typename F> TextList filtered(F&& keep) const
    {
        TextList kept;
        for (const Segment& segment : m_segments) {
            const QChar* chars = segment.block.constData();
            QList<Span> spans;
            spans.reserve(segment.spans.size());
            for (const Span& span : segment.spans) {
                if (keep(QStringView(chars + span.begin, span.size)))
                    spans.append(span);
            }
            if (!spans.isEmpty())
                kept.pushSegment({segment.block, std::move(spans), false});
        }
        return kept;
    }

    friend bool operator==(const TextList& a, const TextList& b);
    friend bool operator!=(const TextList& a, const TextList& b) { return !(a == b); }

private:
    // The segment holding `row`, and the row's place inside it.
    std::pair<qsizetype, qsizetype> locate(qsizetype row) const;
    void pushSegment(Segment segment);

    QList<Segment> m_segments;
    // Entries in segments 0..k, for each k.
    QList<qsizetype> m_ends;
};

} // namespace vx
