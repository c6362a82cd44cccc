// Test tool: a small window that, pressed, drags the files named on its command line as a file
// manager does (a real drag and drop through the X server). Prints whether they were dropped
// and ends: 0 dropped, 1 refused.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <cstdio>

namespace
{

class Source : public QLabel
{
public:
    explicit Source(QStringList paths)
        : QLabel(QStringLiteral("drag me")), m_paths(std::move(paths))
    {
        setWindowTitle(QStringLiteral("vx-dragsource"));
        setAlignment(Qt::AlignCenter);
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* data = new QMimeData;
        QList<QUrl> urls;
        for (const QString& path : m_paths)
            urls.append(QUrl::fromLocalFile(path));
        data->setUrls(urls);
        data->setText(m_paths.join(QLatin1Char('\n')));
        QDrag drag(this);
        drag.setMimeData(data);
        const Qt::DropAction done = drag.exec(Qt::CopyAction | Qt::LinkAction);
        std::printf("%s\n", done == Qt::IgnoreAction ? "refused" : "dropped");
        std::fflush(stdout);
        QApplication::exit(done == Qt::IgnoreAction ? 1 : 0);
    }

private:
    QStringList m_paths;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Source source(app.arguments().mid(1));
    source.setGeometry(0, 0, 120, 80);
    source.show();
    return app.exec();
}
