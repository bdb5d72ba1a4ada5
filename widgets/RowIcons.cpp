#include "widgets/RowIcons.h"

#include "widgets/BrowserStates.h"

#include <QHash>
#include <QPainter>

namespace RowIcons {

namespace {

void drawPerson(QPainter &p, const QPointF &at, qreal scale, const QColor &color)
{
    p.setBrush(color);
    p.drawEllipse(QRectF(at.x() + 2.5 * scale, at.y(), 5 * scale, 5 * scale));
    p.drawChord(QRectF(at.x(), at.y() + 5.5 * scale, 10 * scale, 9 * scale), 0, 180 * 16);
}

QPixmap draw(int index)
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 0.8));
    switch (index) {
    case BrowserStates::GroupIcon:
        drawPerson(p, QPointF(6, 1.5), 0.95, QColor(120, 170, 230));
        drawPerson(p, QPointF(0.5, 3.5), 1.0, QColor(60, 120, 200));
        break;
    case BrowserStates::ZoneIcon:
        p.setBrush(QColor(250, 215, 110));
        p.drawRoundedRect(QRectF(1.5, 3.5, 13, 10), 2, 2);
        p.setBrush(QColor(200, 90, 60));
        p.drawRect(QRectF(6.5, 7.5, 3.5, 6)); // the door
        break;
    default:
        drawPerson(p, QPointF(3, 1), 1.0, QColor(90, 160, 90));
        break;
    }
    return pixmap;
}

} // namespace

QPixmap icon(int index)
{
    static QHash<int, QPixmap> cache;
    auto it = cache.find(index);
    if (it == cache.end())
        it = cache.insert(index, draw(index));
    return *it;
}

} // namespace RowIcons
