#include "ui/gamebrowse.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLineEdit>

namespace vx
{

namespace
{

// The picture filter's patterns: the long-offered types first, then every other type the
// detail view can show, the common PNG leading.
QString picturePatterns()
{
    QStringList patterns{QStringLiteral("*.jpg"), QStringLiteral("*.gif"), QStringLiteral("*.bmp"),
                         QStringLiteral("*.ico"), QStringLiteral("*.png")};
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString pattern = QStringLiteral("*.") + QString::fromLatin1(format).toLower();
        if (!patterns.contains(pattern))
            patterns.append(pattern);
    }
    return patterns.join(QLatin1Char(';'));
}

QString startFrom(const CommonDialog& dialog, const QString& boxPath)
{
    const QFileInfo box(boxPath);
    if (box.isAbsolute() && box.dir().exists())
        return boxPath;
    // Only the folder: the last file may be of the other kind, and a dialog that starts with
    // its name would take it at the first Enter.
    if (dialog.FileName.isEmpty())
        return {};
    return QDir::toNativeSeparators(QFileInfo(dialog.FileName).absolutePath());
}

} // namespace

bool browseGameFile(CommonDialog& dialog, GameFile kind, QWidget& window, const QLineEdit& box)
{
    if (kind == GameFile::Rom) {
        dialog.DialogTitle = QStringLiteral("Path to ROM to be added...");
        // The other two names cartridge images commonly carry are offered too.
        dialog.Filter =
            QStringLiteral("Basic Rom types|*.rom;*.v64;*.zip;*.z64;*.n64|All Files|*.*|");
    } else {
        dialog.DialogTitle = QStringLiteral("Path to image to be used...");
        dialog.Filter = QStringLiteral("Possible image types|") + picturePatterns() +
                        QStringLiteral("|All Files|*.*");
    }
    // The last file chosen is kept for the next start, whatever this one starts from.
    CommonDialog request = dialog;
    request.FileName = startFrom(dialog, box.text());
    if (!request.ShowOpen(&window))
        return false;
    dialog.FileName = request.FileName;
    return true;
}

} // namespace vx
