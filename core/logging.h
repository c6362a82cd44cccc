#pragma once

#include <QLoggingCategory>
#include <QString>
#include <cerrno>

// Why a file operation failed, in the system's words. The user sees a fixed notice; these lines
// are for whoever looks into it, so they stay silent until asked for, e.g.
// QT_LOGGING_RULES="vexloutil.*=true".
namespace vx
{

// The catalogue's files: the index, records, settings, the lock and the app folder.
Q_DECLARE_LOGGING_CATEGORY(lcStore)
// Copy ROM and Export ROM.
Q_DECLARE_LOGGING_CATEGORY(lcCopy)

// The system's message for an error number; by default the one errno holds now.
QString systemError(int error = errno);

// "cannot <what> <path>: <reason>", as a warning of the category.
void logFailure(const QLoggingCategory& category, const char* what, const QString& path,
                const QString& reason);

} // namespace vx
