#include "windows/boolean_images.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <array>

namespace objscope {
namespace {

constexpr int kSize = 14;

QPixmap Blank() {
    qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(kSize, kSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QPixmap Cross() {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(200, 30, 30), 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 3), QPointF(kSize - 3, kSize - 3));
    p.drawLine(QPointF(kSize - 3, 3), QPointF(3, kSize - 3));
    return pixmap;
}

QPixmap Check() {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(20, 140, 40), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath tick;
    tick.moveTo(2.5, 7.5);
    tick.lineTo(5.5, 10.5);
    tick.lineTo(11.5, 3.5);
    p.drawPath(tick);
    return pixmap;
}

QPixmap Led(QColor on, bool lit) {
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = lit ? on : on.darker(300);
    QRadialGradient glow(QPointF(5, 5), kSize / 2.0);
    glow.setColorAt(0, lit ? fill.lighter(160) : fill.lighter(120));
    glow.setColorAt(1, fill);
    p.setBrush(glow);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.drawEllipse(QRectF(1.5, 1.5, kSize - 3, kSize - 3));
    return pixmap;
}

}  // namespace

const QPixmap& BooleanImagePixmap(BooleanImage image) {
    static const std::array<QPixmap, 6> images = {Cross(),
                                                  Check(),
                                                  Led(QColor(230, 30, 30), true),
                                                  Led(QColor(230, 30, 30), false),
                                                  Led(QColor(30, 200, 60), true),
                                                  Led(QColor(30, 200, 60), false)};
    return images[static_cast<size_t>(image)];
}

}  // namespace objscope
