#include "core/logging.h"

namespace vx
{

// Warnings are off until QT_LOGGING_RULES turns them on: the notice already tells the user.
Q_LOGGING_CATEGORY(lcStore, "vexloutil.store", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcCopy, "vexloutil.copy", QtCriticalMsg)

QString systemError(int error)
{
    return qt_error_string(error);
}

void logFailure(const QLoggingCategory& category, const char* what, const QString& path,
                const QString& reason)
{
    qCWarning(category).nospace() << "cannot " << what << ' ' << path << ": "
                                  << qUtf8Printable(reason);
}

} // namespace vx
