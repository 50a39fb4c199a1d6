// make-icon: draws the program's icon as PNG files of the given sizes, the
// same shapes as packaging/helan.svg, so that the package needs no SVG renderer.
//
//   make-icon <folder> <size>…     writes <folder>/helan-<size>.png

#include <cstdio>
#include <cstdlib>
#include <utility>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

using namespace Qt::StringLiterals;

namespace {

// The drawing on the SVG's 256 × 256 canvas.
void drawIcon(QPainter& painter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2e, 0x8b, 0x57));
    painter.drawRoundedRect(QRectF(16, 16, 224, 224), 44, 44);

    painter.setBrush(QColor(0x1e, 0x6b, 0x45));
    const QPointF mountains[] = {{28, 200}, {100, 88}, {136, 136}, {172, 100}, {228, 200}};
    painter.drawPolygon(mountains, 5);

    QPainterPath mist(QPointF(40, 168));
    mist.cubicTo(80, 152, 112, 184, 152, 168);
    mist.cubicTo(184, 156, 204, 160, 216, 164);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 8, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(mist);

    const QColor grain(0xf5, 0xc8, 0x42);
    painter.setPen(QPen(grain, 8, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(128, 212), QPointF(128, 76));
    painter.setPen(Qt::NoPen);
    painter.setBrush(grain);
    painter.drawEllipse(QPointF(128, 60), 8, 18);
    for (const double y : {84.0, 110.0, 136.0}) {
        for (const auto& [x, angle] : {std::pair{112.0, 40.0}, std::pair{144.0, -40.0}}) {
            painter.save();
            painter.translate(x, y);
            painter.rotate(angle);
            painter.drawEllipse(QPointF(0, 0), 16, 8);
            painter.restore();
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fputs("usage: make-icon <folder> <size>...\n", stderr);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 1 || size > 1024) {
            std::fprintf(stderr, "make-icon: bad size %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 256.0, size / 256.0);
        drawIcon(painter);
        painter.end();
        const QString path = folder + u"/helan-"_s + QString::number(size) + u".png"_s;
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "make-icon: cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
