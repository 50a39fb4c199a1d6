// make-sample: writes a data folder a teacher can open at once, or adds a large
// generated course to one for measurements.
//
//   make-sample <folder>
//   make-sample --questions N [--seed S] [--password P] [--course NAME] <folder>

#include <cstdio>

#include <QCommandLineParser>
#include <QGuiApplication>

#include "SampleFolder.h"
#include "SyntheticBank.h"

using namespace Qt::StringLiterals;

namespace {

void print(std::FILE* stream, const QString& text)
{
    std::fputs((text + u'\n').toUtf8().constData(), stream);
}

int usage(const QString& problem)
{
    print(stderr, problem);
    print(stderr, u"usage: make-sample <folder>\n"
                  u"       make-sample --questions N [--seed S] [--password P] [--course NAME] <folder>"_s);
    return 2;
}

bool readNumber(const QString& text, qint64 low, qint64 high, qint64& value)
{
    bool ok = false;
    value = text.toLongLong(&ok);
    return ok && value >= low && value <= high;
}

} // namespace

int main(int argc, char** argv)
{
    // Pictures are drawn off screen; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    const QCommandLineOption questions(u"questions"_s, u"Write a generated course of N questions."_s, u"N"_s);
    const QCommandLineOption seed(u"seed"_s, u"Seed of the generated questions (default 1)."_s, u"S"_s, u"1"_s);
    const QCommandLineOption password(u"password"_s, u"Password of the generated course."_s, u"P"_s);
    const QCommandLineOption course(u"course"_s, u"Name of the generated course (default 大题库)."_s, u"NAME"_s);
    parser.addOptions({questions, seed, password, course});
    parser.addHelpOption();
    parser.addPositionalArgument(u"folder"_s, u"The data folder."_s);
    parser.process(app);

    const QStringList folders = parser.positionalArguments();
    if (folders.size() != 1)
        return usage(u"make-sample: one data folder expected"_s);
    const QString folder = folders.first();
    QString error;

    if (!parser.isSet(questions)) {
        if (parser.isSet(seed) || parser.isSet(password) || parser.isSet(course))
            return usage(u"make-sample: --seed, --password and --course go with --questions"_s);
        if (!helan::SampleFolder::write(folder, &error)) {
            print(stderr, u"make-sample: "_s + error);
            return 1;
        }
        print(stdout, u"Sample data written to "_s + folder);
        print(stdout, u"Administrator: "_s + helan::SampleFolder::administratorName() + u", password "_s
                          + helan::SampleFolder::administratorPassword());
        print(stdout, u"Course "_s + helan::SampleFolder::mathCourse() + u": password "_s
                          + helan::SampleFolder::mathPassword());
        print(stdout, u"Course "_s + helan::SampleFolder::englishCourse() + u": no password"_s);
        return 0;
    }

    qint64 count = 0;
    qint64 seedValue = 0;
    if (!readNumber(parser.value(questions), 1, 10'000'000, count))
        return usage(u"make-sample: --questions takes a count from 1 to 10000000"_s);
    if (!readNumber(parser.value(seed), 0, 0xffffffffLL, seedValue))
        return usage(u"make-sample: --seed takes a number from 0 to 4294967295"_s);
    helan::SyntheticBank::Options options;
    options.questionCount = int(count);
    options.seed = std::uint32_t(seedValue);
    options.password = parser.value(password);
    if (parser.isSet(course))
        options.courseName = parser.value(course);
    if (!helan::SyntheticBank::write(folder, options, &error)) {
        print(stderr, u"make-sample: "_s + error);
        return 1;
    }
    print(stdout, u"Course "_s + options.courseName + u" with "_s + QString::number(count)
                      + u" questions written to "_s + folder
                      + (options.password.isEmpty() ? u", no password"_s : u", password "_s + options.password));
    return 0;
}
