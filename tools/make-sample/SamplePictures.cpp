#include "SamplePictures.h"

#include <cmath>
#include <functional>
#include <numbers>

#include <QBuffer>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

using namespace Qt::StringLiterals;

namespace helan {

namespace {

constexpr int kJpegQuality = 90;

// A white page, black pen and the CJK font, encoded as JPEG once drawn.
QByteArray draw(int width, int height, const std::function<void(QPainter&)>& paint)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2));
        QFont font(u"Noto Sans CJK SC"_s);
        font.setPixelSize(18);
        painter.setFont(font);
        paint(painter);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", kJpegQuality);
    return bytes;
}

// Text centred on a point.
void label(QPainter& painter, QPointF at, const QString& text)
{
    const QRectF box(at.x() - 60, at.y() - 14, 120, 28);
    painter.drawText(box, Qt::AlignCenter, text);
}

void smallLabel(QPainter& painter, QPointF at, const QString& text)
{
    QFont font = painter.font();
    const int size = font.pixelSize();
    font.setPixelSize(13);
    painter.setFont(font);
    label(painter, at, text);
    font.setPixelSize(size);
    painter.setFont(font);
}

void dot(QPainter& painter, QPointF at)
{
    painter.save();
    painter.setBrush(Qt::black);
    painter.drawEllipse(at, 3, 3);
    painter.restore();
}

void dashed(QPainter& painter, QPointF from, QPointF to)
{
    painter.save();
    painter.setPen(QPen(Qt::black, 1.5, Qt::DashLine));
    painter.drawLine(from, to);
    painter.restore();
}

void arrowHead(QPainter& painter, QPointF tip, QPointF direction)
{
    const double length = std::hypot(direction.x(), direction.y());
    const QPointF unit = direction / length;
    const QPointF normal(-unit.y(), unit.x());
    painter.drawLine(tip, tip - unit * 9 + normal * 5);
    painter.drawLine(tip, tip - unit * 9 - normal * 5);
}

// Coordinate axes through an origin, reaching the given pixel bounds.
void axes(QPainter& painter, QPointF origin, double left, double right, double top, double bottom,
          bool named = true)
{
    painter.save();
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawLine(QPointF(left, origin.y()), QPointF(right, origin.y()));
    painter.drawLine(QPointF(origin.x(), bottom), QPointF(origin.x(), top));
    arrowHead(painter, QPointF(right, origin.y()), QPointF(1, 0));
    arrowHead(painter, QPointF(origin.x(), top), QPointF(0, -1));
    painter.restore();
    if (named) {
        label(painter, QPointF(right - 4, origin.y() + 16), u"x"_s);
        label(painter, QPointF(origin.x() + 14, top + 4), u"y"_s);
        label(painter, origin + QPointF(-12, 14), u"O"_s);
    }
}

QPointF polar(QPointF centre, double radius, double degrees)
{
    const double radians = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(radius * std::cos(radians), -radius * std::sin(radians));
}

// The angle of a ray in the painter's arc convention (counter-clockwise from east).
double rayAngle(QPointF from, QPointF to)
{
    return std::atan2(-(to.y() - from.y()), to.x() - from.x()) * 180.0 / std::numbers::pi;
}

void angleArc(QPainter& painter, QPointF vertex, QPointF toA, QPointF toB, double radius)
{
    const double a = rayAngle(vertex, toA);
    const double b = rayAngle(vertex, toB);
    const QRectF box(vertex.x() - radius, vertex.y() - radius, 2 * radius, 2 * radius);
    painter.drawArc(box, int(std::lround(std::min(a, b) * 16)), int(std::lround(std::fabs(a - b) * 16)));
}

void tick(QPainter& painter, QPointF from, QPointF to)
{
    const QPointF middle = (from + to) / 2;
    painter.drawLine(middle + QPointF(-3, -8), middle + QPointF(3, 8));
}

} // namespace

QByteArray SamplePictures::rightTriangle()
{
    return draw(340, 260, [](QPainter& p) {
        const QPointF a(80, 50), b(280, 200), c(80, 200);
        p.drawPolygon(QPolygonF({a, b, c}));
        p.drawPolyline(QPolygonF({c + QPointF(0, -16), c + QPointF(16, -16), c + QPointF(16, 0)}));
        label(p, a + QPointF(-16, -6), u"A"_s);
        label(p, b + QPointF(16, 6), u"B"_s);
        label(p, c + QPointF(-16, 8), u"C"_s);
        label(p, (a + c) / 2 + QPointF(-16, 0), u"3"_s);
        label(p, (b + c) / 2 + QPointF(0, 18), u"4"_s);
    });
}

QByteArray SamplePictures::isoscelesTriangle()
{
    return draw(320, 260, [](QPainter& p) {
        const QPointF a(160, 40), b(95, 220), c(225, 220);
        p.drawPolygon(QPolygonF({a, b, c}));
        angleArc(p, a, b, c, 34);
        label(p, a + QPointF(0, 52), u"40°"_s);
        label(p, a + QPointF(0, -18), u"A"_s);
        label(p, b + QPointF(-16, 8), u"B"_s);
        label(p, c + QPointF(16, 8), u"C"_s);
    });
}

QByteArray SamplePictures::isoscelesMedian()
{
    return draw(340, 260, [](QPainter& p) {
        const QPointF a(170, 40), b(80, 215), c(260, 215), d(170, 215);
        p.drawPolygon(QPolygonF({a, b, c}));
        p.drawLine(a, d);
        tick(p, b, d);
        tick(p, d, c);
        label(p, a + QPointF(0, -18), u"A"_s);
        label(p, b + QPointF(-16, 8), u"B"_s);
        label(p, c + QPointF(16, 8), u"C"_s);
        label(p, d + QPointF(0, 20), u"D"_s);
    });
}

QByteArray SamplePictures::readingTimeTable()
{
    return draw(500, 170, [](QPainter& p) {
        const QStringList header = {u"阅读时间（小时）"_s, u"0～2"_s, u"2～4"_s, u"4～6"_s, u"6～8"_s};
        const QStringList counts = {u"人数"_s, u"8"_s, u"20"_s, u"14"_s, u"8"_s};
        const QList<double> widths = {160, 75, 75, 75, 75};
        const double left = 20, top = 60, rowHeight = 42;
        p.drawText(QRectF(0, 12, 500, 36), Qt::AlignCenter, u"九年级学生每周课外阅读时间统计表"_s);
        double x = left;
        for (qsizetype column = 0; column < widths.size(); ++column) {
            p.drawRect(QRectF(x, top, widths[column], rowHeight));
            p.drawRect(QRectF(x, top + rowHeight, widths[column], rowHeight));
            p.drawText(QRectF(x, top, widths[column], rowHeight), Qt::AlignCenter, header[column]);
            p.drawText(QRectF(x, top + rowHeight, widths[column], rowHeight), Qt::AlignCenter, counts[column]);
            x += widths[column];
        }
    });
}

QByteArray SamplePictures::yangHuiTriangle()
{
    return draw(360, 240, [](QPainter& p) {
        const double centre = 180, spacing = 46, rowHeight = 34;
        QList<int> row = {1};
        for (int line = 0; line < 5; ++line) {
            for (qsizetype j = 0; j < row.size(); ++j) {
                const double x = centre + (double(j) - double(row.size() - 1) / 2) * spacing;
                label(p, QPointF(x, 30 + line * rowHeight), QString::number(row[j]));
            }
            QList<int> next = {1};
            for (qsizetype j = 1; j < row.size(); ++j)
                next.append(row[j - 1] + row[j]);
            next.append(1);
            row = next;
        }
        label(p, QPointF(centre, 30 + 5 * rowHeight), u"……"_s);
    });
}

QByteArray SamplePictures::parabolaGraph()
{
    return draw(340, 300, [](QPainter& p) {
        const QPointF origin(120, 200);
        const double unit = 34;
        axes(p, origin, 15, 325, 12, 290);
        const auto at = [&](double x, double y) { return origin + QPointF(x * unit, -y * unit); };
        QPolygonF curve;
        for (double x = -1.5; x <= 3.5001; x += 0.05)
            curve.append(at(x, -(x - 1) * (x - 1) + 4));
        p.drawPolyline(curve);
        dashed(p, at(1, 4), at(1, 0));
        dot(p, at(1, 4));
        smallLabel(p, at(1, 0) + QPointF(0, 14), u"1"_s);
        smallLabel(p, at(-1, 0) + QPointF(-16, 14), u"-1"_s);
        smallLabel(p, at(3, 0) + QPointF(8, 14), u"3"_s);
        smallLabel(p, at(0, 3) + QPointF(-10, 0), u"3"_s);
    });
}

QByteArray SamplePictures::lineGraph()
{
    return draw(320, 320, [](QPainter& p) {
        const QPointF origin(150, 170);
        const double unit = 34;
        axes(p, origin, 15, 305, 12, 305);
        const auto at = [&](double x, double y) { return origin + QPointF(x * unit, -y * unit); };
        p.drawLine(at(-0.9, -2.8), at(2.3, 3.6));
        dot(p, at(0.5, 0));
        dot(p, at(0, -1));
        smallLabel(p, at(0.5, 0) + QPointF(34, 12), u"(1/2, 0)"_s);
        smallLabel(p, at(0, -1) + QPointF(-32, 4), u"(0, -1)"_s);
        label(p, at(2.3, 3.6) + QPointF(40, 24), u"y=2x-1"_s);
    });
}

QByteArray SamplePictures::reflection(bool withImage)
{
    return draw(400, 260, [withImage](QPainter& p) {
        const double axis = 200;
        dashed(p, QPointF(axis, 20), QPointF(axis, 245));
        label(p, QPointF(axis + 14, 22), u"l"_s);
        const QPointF a(90, 55), b(50, 205), c(150, 170);
        p.drawPolygon(QPolygonF({a, b, c}));
        label(p, a + QPointF(0, -16), u"A"_s);
        label(p, b + QPointF(-14, 10), u"B"_s);
        label(p, c + QPointF(10, 16), u"C"_s);
        if (!withImage)
            return;
        const auto mirror = [axis](QPointF point) { return QPointF(2 * axis - point.x(), point.y()); };
        p.drawPolygon(QPolygonF({mirror(a), mirror(b), mirror(c)}));
        for (const QPointF& point : {a, b, c}) {
            p.save();
            p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
            p.drawLine(point, mirror(point));
            p.restore();
        }
        label(p, mirror(a) + QPointF(0, -16), u"A′"_s);
        label(p, mirror(b) + QPointF(16, 10), u"B′"_s);
        label(p, mirror(c) + QPointF(-12, 16), u"C′"_s);
    });
}

QByteArray SamplePictures::circleWithDiameter()
{
    return draw(340, 280, [](QPainter& p) {
        const QPointF o(170, 150);
        const double r = 105;
        p.drawEllipse(o, r, r);
        const QPointF a = polar(o, r, 180), b = polar(o, r, 0), c = polar(o, r, 120);
        p.drawPolygon(QPolygonF({a, b, c}));
        dot(p, o);
        label(p, o + QPointF(0, 16), u"O"_s);
        label(p, a + QPointF(-16, 0), u"A"_s);
        label(p, b + QPointF(16, 0), u"B"_s);
        label(p, c + QPointF(-10, -16), u"C"_s);
    });
}

QByteArray SamplePictures::shapeOptions(const QStringList& labels)
{
    return draw(520, 170, [&labels](QPainter& p) {
        for (int i = 0; i < 4; ++i) {
            const QPointF centre(65 + 130 * i, 70);
            QPolygonF shape;
            switch (i) {
            case 0:
                for (int k = 0; k < 3; ++k)
                    shape.append(polar(centre + QPointF(0, 8), 46, 90 + 120 * k));
                break;
            case 1:
                shape = QPolygonF({centre + QPointF(-48, 26), centre + QPointF(22, 26), centre + QPointF(48, -26),
                                   centre + QPointF(-22, -26)});
                break;
            case 2:
                shape = QPolygonF(QRectF(centre.x() - 46, centre.y() - 28, 92, 56));
                break;
            default:
                for (int k = 0; k < 5; ++k)
                    shape.append(polar(centre + QPointF(0, 4), 44, 90 + 72 * k));
                break;
            }
            p.drawPolygon(shape);
            label(p, QPointF(centre.x(), 145), labels.value(i));
        }
    });
}

QByteArray SamplePictures::lineOptions(const QStringList& labels)
{
    struct Line {
        double slope, intercept;
    };
    const Line lines[] = {{2, 0}, {-1, 2}, {1, -1}, {-3, 0}};
    return draw(560, 200, [&labels, &lines](QPainter& p) {
        const double unit = 16;
        for (int i = 0; i < 4; ++i) {
            const QPointF origin(70 + 140 * i, 85);
            axes(p, origin, origin.x() - 58, origin.x() + 58, origin.y() - 62, origin.y() + 62, false);
            smallLabel(p, origin + QPointF(-9, 10), u"O"_s);
            p.save();
            p.setClipRect(QRectF(origin.x() - 55, origin.y() - 58, 110, 116));
            const auto at = [&](double x) {
                return origin + QPointF(x * unit, -(lines[i].slope * x + lines[i].intercept) * unit);
            };
            p.drawLine(at(-4), at(4));
            p.restore();
            label(p, QPointF(origin.x(), 175), labels.value(i));
        }
    });
}

} // namespace helan
