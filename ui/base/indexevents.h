#pragma once

#include "core/textlist.h"

#include <QObject>

namespace vx
{

// News of the catalogue's index being written, for the windows that keep a view of it: the
// windows that write it tell, and the hub and the browser listen, so neither side needs the
// other's header. Connections are direct: listeners run before the writer goes on.
class IndexEvents : public QObject
{
    Q_OBJECT

public:
    static IndexEvents& get();

signals:
    // Before the index is read for a rewrite (a save or a Clear).
    void aboutToWrite();
    // After a save, with the index as written.
    void saved(const vx::TextList& index);
    // After a save that renamed a game, with its old and new names.
    void renamed(const QString& from, const QString& to);
};

} // namespace vx
