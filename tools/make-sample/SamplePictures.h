#pragma once

#include <QByteArray>
#include <QStringList>

namespace helan {

// The drawings of the sample course, each returned as the bytes of a JPEG file,
// the form a picture added from a file is stored in. Labels and table texts are
// drawn with the system's fonts, so a QGuiApplication must exist.
class SamplePictures {
public:
    // Right triangle ABC with the right angle at C, AC = 3 and BC = 4.
    static QByteArray rightTriangle();
    // Isosceles triangle ABC with AB = AC and the apex angle marked 40°.
    static QByteArray isoscelesTriangle();
    // Isosceles triangle ABC with D the midpoint of BC and the segment AD.
    static QByteArray isoscelesMedian();
    // Frequency table of weekly reading time.
    static QByteArray readingTimeTable();
    // Yang Hui's triangle, rows 1 to 6.
    static QByteArray yangHuiTriangle();
    // Graph of the parabola y = -(x - 1)^2 + 4.
    static QByteArray parabolaGraph();
    // Graph of the line y = 2x - 1 with its axis intercepts.
    static QByteArray lineGraph();
    // Triangle ABC beside a line l; with the image, also its reflection A'B'C'.
    static QByteArray reflection(bool withImage);
    // Circle O with the diameter AB and a point C on the circle.
    static QByteArray circleWithDiameter();
    // Four shapes (equilateral triangle, parallelogram, rectangle, regular
    // pentagon) labelled with the four given labels.
    static QByteArray shapeOptions(const QStringList& labels);
    // Four small graphs of y = 2x, y = -x + 2, y = x - 1 and y = -3x, labelled.
    static QByteArray lineOptions(const QStringList& labels);
};

} // namespace helan
