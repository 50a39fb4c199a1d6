#pragma once

#include <QString>
#include <QStringList>

#include "compose/AssembledPaper.h"

namespace helan {

class Prompter;

// The logic of the window "卷头设置": the printed form of a course's papers,
// kept per course in a small settings file of the data folder (a two-column
// grid file: 项目 and 内容), read afresh at every generation.
class PaperHeaderSettings {
public:
    // "卷头设置-" + course name, in the data folder (the working folder).
    static QString fileName(const QString& course);
    // The course's settings; defaults (off, A4, every field shown) when there
    // is no file or it cannot be read.
    static PaperHeader load(const QString& course);
    // False when the file could not be written (a failure the caller says).
    static bool save(const QString& course, const PaperHeader& header);

    // The choices of the window's lists, in their order.
    static QStringList pageNames();   // "A4 纵向", "A3 横向两栏", "B4 横向两栏"
    static QStringList numberCaptions(); // "学号", "考号"

    PaperHeaderSettings(Prompter& prompter, QString course);

    // What the window shows and edits.
    PaperHeader& header() { return m_header; }
    const PaperHeader& header() const { return m_header; }
    const QString& course() const { return m_course; }

    void open();
    // "确定": stored; false, after saying so, when it could not be.
    bool accept();

private:
    Prompter& m_prompter;
    QString m_course;
    PaperHeader m_header;
};

} // namespace helan
