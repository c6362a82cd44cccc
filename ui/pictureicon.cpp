#include "ui/pictureicon.h"

#include <QIconEngine>
#include <QPainter>
#include <map>
#include <utility>

namespace vx
{

namespace
{

class PictureIconEngine final : public QIconEngine
{
public:
    explicit PictureIconEngine(PicturePtr picture) : m_picture(std::move(picture)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode /*mode*/,
               QIcon::State /*state*/) override
    {
        m_picture->paint(*painter, QRectF(rect));
    }

    // The icon only ever stands for the program, so every mode and state shows the same drawing.
    QPixmap pixmap(const QSize& size, QIcon::Mode /*mode*/, QIcon::State /*state*/) override
    {
        if (size.isEmpty())
            return {};
        const std::pair<int, int> key{size.width(), size.height()};
        auto found = m_rendered.find(key);
        if (found == m_rendered.end())
            found = m_rendered.emplace(key, m_picture->toPixmap(size)).first;
        return found->second;
    }

    QIconEngine* clone() const override { return new PictureIconEngine(*this); }
    QString key() const override { return QStringLiteral("vx-picture"); }

private:
    PicturePtr m_picture;
    std::map<std::pair<int, int>, QPixmap> m_rendered;
};

} // namespace

QIcon pictureIcon(PicturePtr picture)
{
    if (!picture)
        return {};
    // The icon owns its engine.
    return QIcon(new PictureIconEngine(std::move(picture)));
}

} // namespace vx
