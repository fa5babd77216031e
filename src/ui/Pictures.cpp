#include "ui/Pictures.h"

#include <cmath>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace k400::ui {

namespace {

// A transparent picture of the given size, drawn by draw(painter, width, height).
template <typename Draw>
QPixmap Paint(QSize size, Draw draw)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        draw(p, static_cast<qreal>(size.width()), static_cast<qreal>(size.height()));
    }
    return pixmap;
}

// A rounded box with a vertical sheen, the common look of every housing.
void Housing(QPainter& p, const QRectF& r, QColor top, QColor bottom, qreal radius)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(bottom.darker(150), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
}

void Led(QPainter& p, QPointF centre, qreal radius, QColor colour)
{
    QRadialGradient g(centre - QPointF(radius / 3, radius / 3), radius * 1.4);
    g.setColorAt(0, colour.lighter(170));
    g.setColorAt(1, colour.darker(130));
    p.setPen(QPen(colour.darker(200), 0.6));
    p.setBrush(g);
    p.drawEllipse(centre, radius, radius);
}

// Nine-pin D connector, as on both serial and CAN ports.
void DConnector(QPainter& p, const QRectF& r)
{
    QPainterPath shell;
    const qreal slant = r.width() * 0.12;
    shell.moveTo(r.left(), r.top());
    shell.lineTo(r.right(), r.top());
    shell.lineTo(r.right() - slant, r.bottom());
    shell.lineTo(r.left() + slant, r.bottom());
    shell.closeSubpath();
    p.setPen(QPen(QColor(90, 90, 90), 1));
    p.setBrush(QColor(200, 200, 205));
    p.drawPath(shell);
    p.setBrush(QColor(60, 60, 60));
    p.setPen(Qt::NoPen);
    const qreal pin = r.height() * 0.12;
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(r.left() + r.width() * (0.2 + 0.15 * i), r.top() + r.height() * 0.33), pin, pin);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QPointF(r.left() + r.width() * (0.275 + 0.15 * i), r.top() + r.height() * 0.68), pin, pin);
}

void Label(QPainter& p, const QRectF& r, const QString& text, QColor colour, qreal pixelSize, bool bold = true)
{
    QFont font = p.font();
    font.setPixelSize(qMax(6, static_cast<int>(pixelSize)));
    font.setBold(bold);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

}  // namespace

QPixmap ControllerPicture(ControllerVariant variant, QSize size)
{
    return Paint(size, [&](QPainter& p, qreal w, qreal h) {
        const bool e = variant == ControllerVariant::K400E;
        // Housing, with the variant told apart by its front colour.
        const QRectF body(w * 0.06, h * 0.04, w * 0.88, h * 0.92);
        Housing(p, body, e ? QColor(70, 110, 170) : QColor(80, 140, 100), e ? QColor(35, 60, 105) : QColor(40, 85, 55),
                w * 0.06);
        // Name plate.
        const QRectF plate(body.left() + w * 0.08, body.top() + h * 0.06, body.width() - w * 0.16, h * 0.16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(245, 245, 240));
        p.drawRoundedRect(plate, 3, 3);
        Label(p, plate, e ? QStringLiteral("K400E") : QStringLiteral("K400B"), QColor(30, 30, 40),
              plate.height() * 0.62);
        // Status LEDs.
        const qreal ledY = body.top() + h * 0.31;
        const QColor ledColours[] = {QColor(40, 200, 60), QColor(250, 190, 40), QColor(230, 60, 50)};
        for (int i = 0; i < 3; ++i)
            Led(p, QPointF(body.left() + body.width() * (0.25 + 0.25 * i), ledY), w * 0.035, ledColours[i]);
        // Ports: COM1 (console) in the middle, the CAN port and COM2 at the bottom corners.
        Label(p, QRectF(body.left(), ledY + h * 0.05, body.width(), h * 0.08), QStringLiteral("COM1"),
              QColor(230, 235, 245), h * 0.06, false);
        DConnector(p, QRectF(body.left() + body.width() * 0.3, ledY + h * 0.13, body.width() * 0.4, h * 0.1));
        const qreal portTop = body.bottom() - h * 0.25;
        Label(p, QRectF(body.left(), portTop - h * 0.01, body.width() * 0.5, h * 0.08), QStringLiteral("CAN"),
              QColor(230, 235, 245), h * 0.06, false);
        Label(p, QRectF(body.center().x(), portTop - h * 0.01, body.width() * 0.5, h * 0.08), QStringLiteral("COM2"),
              QColor(230, 235, 245), h * 0.06, false);
        DConnector(p, QRectF(body.left() + body.width() * 0.07, portTop + h * 0.08, body.width() * 0.36, h * 0.1));
        // COM2 is a screw terminal block (RS-485).
        const QRectF block(body.left() + body.width() * 0.57, portTop + h * 0.08, body.width() * 0.36, h * 0.1);
        p.setPen(QPen(QColor(30, 90, 30), 1));
        p.setBrush(QColor(60, 160, 70));
        p.drawRect(block);
        p.setBrush(QColor(200, 200, 200));
        for (int i = 0; i < 3; ++i) {
            const QPointF c(block.left() + block.width() * (0.2 + 0.3 * i), block.center().y());
            p.drawEllipse(c, block.height() * 0.3, block.height() * 0.3);
        }
    });
}

QPixmap CanSidePicture(QSize size)
{
    return Paint(size, [&](QPainter& p, qreal w, qreal h) {
        // A CAN bus: two lines with termination, three nodes hanging off it.
        const qreal high = h * 0.35;
        const qreal low = h * 0.47;
        p.setPen(QPen(QColor(230, 140, 20), qMax(1.5, h * 0.03)));
        p.drawLine(QPointF(w * 0.05, high), QPointF(w * 0.95, high));
        p.setPen(QPen(QColor(40, 90, 200), qMax(1.5, h * 0.03)));
        p.drawLine(QPointF(w * 0.05, low), QPointF(w * 0.95, low));
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(QColor(240, 230, 200));
        for (qreal x : {w * 0.05, w * 0.95})
            p.drawRect(QRectF(x - w * 0.025, high - h * 0.01, w * 0.05, low - high + h * 0.02));
        for (int i = 0; i < 3; ++i) {
            const qreal x = w * (0.22 + 0.28 * i);
            p.setPen(QPen(QColor(110, 110, 110), 1.2));
            p.drawLine(QPointF(x - w * 0.02, high), QPointF(x - w * 0.02, h * 0.62));
            p.drawLine(QPointF(x + w * 0.02, low), QPointF(x + w * 0.02, h * 0.62));
            Housing(p, QRectF(x - w * 0.09, h * 0.62, w * 0.18, h * 0.3), QColor(235, 235, 240), QColor(170, 170, 180),
                    3);
            Led(p, QPointF(x, h * 0.72), h * 0.035, i == 0 ? QColor(40, 200, 60) : QColor(250, 190, 40));
        }
        Label(p, QRectF(0, 0, w, h * 0.28), QStringLiteral("CAN"), QColor(60, 60, 80), h * 0.2);
    });
}

QPixmap Rs485SidePicture(QSize size)
{
    return Paint(size, [&](QPainter& p, qreal w, qreal h) {
        // A twisted pair drawn as two interleaved waves.
        const qreal mid = h * 0.42;
        const qreal amp = h * 0.07;
        for (int line = 0; line < 2; ++line) {
            QPainterPath path;
            for (int i = 0; i <= 60; ++i) {
                const qreal x = w * 0.05 + w * 0.9 * i / 60.0;
                const qreal y = mid + amp * std::sin(i * 0.55 + line * 3.14159);
                if (i == 0)
                    path.moveTo(x, y);
                else
                    path.lineTo(x, y);
            }
            p.setPen(QPen(line == 0 ? QColor(40, 150, 60) : QColor(220, 220, 220).darker(130), qMax(1.5, h * 0.03)));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
        }
        Label(p, QRectF(0, 0, w, h * 0.28), QStringLiteral("RS-485"), QColor(60, 60, 80), h * 0.18);
        Label(p, QRectF(0, h * 0.58, w * 0.5, h * 0.2), QStringLiteral("D+"), QColor(40, 120, 50), h * 0.13);
        Label(p, QRectF(w * 0.5, h * 0.58, w * 0.5, h * 0.2), QStringLiteral("D-"), QColor(100, 100, 100), h * 0.13);
    });
}

QPixmap ModulesPicture(QSize size)
{
    return Paint(size, [&](QPainter& p, qreal w, qreal h) {
        // Four slim I/O modules on a rail, each with its terminal rows.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(170, 170, 175));
        p.drawRect(QRectF(0, h * 0.45, w, h * 0.1));
        const QColor fronts[] = {QColor(225, 225, 230), QColor(215, 225, 240), QColor(225, 235, 220),
                                 QColor(240, 228, 215)};
        const qreal mw = w / 4.0;
        for (int i = 0; i < 4; ++i) {
            const QRectF m(i * mw + mw * 0.08, h * 0.05, mw * 0.84, h * 0.9);
            Housing(p, m, fronts[i], fronts[i].darker(125), 3);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(60, 60, 60));
            for (int t = 0; t < 5; ++t) {
                p.drawEllipse(QPointF(m.left() + m.width() * (0.15 + 0.175 * t), m.top() + m.height() * 0.1),
                              m.width() * 0.05, m.width() * 0.05);
                p.drawEllipse(QPointF(m.left() + m.width() * (0.15 + 0.175 * t), m.bottom() - m.height() * 0.1),
                              m.width() * 0.05, m.width() * 0.05);
            }
            Led(p, QPointF(m.center().x(), m.top() + m.height() * 0.3), m.width() * 0.07, QColor(40, 200, 60));
            Label(p, QRectF(m.left(), m.top() + m.height() * 0.4, m.width(), m.height() * 0.25),
                  i % 2 == 0 ? QStringLiteral("DI/O") : QStringLiteral("AI/O"), QColor(50, 50, 70), m.height() * 0.13);
        }
    });
}

QPixmap LogoPicture(QSize size)
{
    return Paint(size, [&](QPainter& p, qreal w, qreal h) {
        // Two buses meeting in the gateway: CAN on the left, RS-485 on the right.
        const QRectF gate(w * 0.35, h * 0.2, w * 0.3, h * 0.6);
        p.setPen(QPen(QColor(230, 140, 20), h * 0.05, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(w * 0.05, h * 0.5), gate.center());
        p.setPen(QPen(QColor(40, 150, 60), h * 0.05, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(gate.center(), QPointF(w * 0.95, h * 0.5));
        for (qreal x : {w * 0.08, w * 0.92}) {
            p.setPen(Qt::NoPen);
            p.setBrush(x < w / 2 ? QColor(230, 140, 20) : QColor(40, 150, 60));
            p.drawEllipse(QPointF(x, h * 0.5), h * 0.07, h * 0.07);
        }
        Housing(p, gate, QColor(70, 110, 170), QColor(35, 60, 105), h * 0.08);
        Label(p, gate, QStringLiteral("K-400"), QColor(245, 245, 250), gate.height() * 0.25);
    });
}

}  // namespace k400::ui
