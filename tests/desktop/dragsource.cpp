// Test tool: a small window that, pressed, drags the files named on its command line as a file
// manager does (a real drag and drop through the X server). Prints whether they were dropped
// and ends: 0 dropped, 1 refused. With --stop-after-drop it stops instead of ending once the drop
// is sent, still owning the drag's data but never answering for it, as a program caught while
// quitting; the caller kills it.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <csignal>
#include <cstdio>

namespace
{

class Source : public QLabel
{
public:
    Source(QStringList paths, bool stopAfterDrop)
        : QLabel(QStringLiteral("drag me")), m_paths(std::move(paths)),
          m_stopAfterDrop(stopAfterDrop)
    {
        setWindowTitle(QStringLiteral("vx-dragsource"));
        setAlignment(Qt::AlignCenter);
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* mime = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : m_paths)
            urls.append(QUrl::fromLocalFile(path));
        mime->setUrls(urls);
        mime->setText(m_paths.join(QLatin1Char('\n')));
        QDrag drag(this);
        drag.setMimeData(mime);
        const Qt::DropAction done = drag.exec(Qt::CopyAction | Qt::LinkAction);
        std::printf("%s\n", done == Qt::IgnoreAction ? "refused" : "dropped");
        std::fflush(stdout);
        if (m_stopAfterDrop) {
            // The drop message may still wait in the output buffer; one turn sends it.
            QCoreApplication::processEvents();
            std::raise(SIGSTOP);
        }
        QApplication::exit(done == Qt::IgnoreAction ? 1 : 0);
    }

private:
    QStringList m_paths;
    bool m_stopAfterDrop;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList paths = app.arguments().mid(1);
    const bool stopAfterDrop = paths.removeAll(QStringLiteral("--stop-after-drop")) > 0;
    Source source(paths, stopAfterDrop);
    source.setGeometry(0, 0, 120, 80);
    source.show();
    return app.exec();
}
