// Shows the editor's smaller windows on the sample mathematics course for
// screenshots:
//   feature_screenshot types|picture|question|clipboard|paper [seconds]
// "types": 题型编辑 over the bank editor; "picture": 图片预览 of the first stem
// picture; "question": 试题预览 of the question with that picture; "clipboard":
// 从剪贴板导入图片 with a picture on the clipboard; "paper": the preview of
// 从Word/文本导入 on a small paper. Quits after the seconds.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include "QuietPrompter.h"
#include "SampleFolder.h"
#include "editor/BankEditor.h"
#include "editor/BankEditorWindow.h"
#include "editor/ClipboardPictureImport.h"
#include "editor/ClipboardPictureWindow.h"
#include "editor/CourseTransfer.h"
#include "editor/EditorPictures.h"
#include "editor/PaperImport.h"
#include "editor/PaperImportWindow.h"
#include "editor/PictureClipboard.h"
#include "editor/PicturePreviewWindow.h"
#include "editor/ProgramLauncher.h"
#include "editor/QuestionPreview.h"
#include "editor/QuestionPreviewWindow.h"
#include "editor/TypeEditor.h"
#include "editor/TypeEditorWindow.h"
#include "model/CourseBank.h"
#include "store/RecordStore.h"
#include "ui/TextMeasure.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

// A clipboard holding a drawn formula, so the screenshot touches no real one.
class DrawnClipboard : public PictureClipboard {
public:
    QImage image() const override {
        QImage image(380, 90, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QFont font = QApplication::font();
        font.setPixelSize(30);
        painter.setFont(font);
        painter.drawText(image.rect(), Qt::AlignCenter, u"x = (−b ± √Δ) / 2a"_s);
        return image;
    }
    void setImage(const QImage&) override {}
};

class NoLauncher : public ProgramLauncher {
public:
    QString find(const QString&) const override { return {}; }
    bool start(const QString&, const QStringList&) override { return false; }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : u"types"_s;
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 4;

    QTemporaryDir dir;
    QString error;
    if (!SampleFolder::write(dir.path(), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    QDir::setCurrent(dir.path());
    RecordStore store;
    const QString course = SampleFolder::mathCourse();
    if (!store.open(CourseBank::fileName(course), course, SampleFolder::mathPassword()))
        return 1;
    QuietPrompter prompter;
    BankEditor editor(store, prompter, course, &countWrappedLines);
    BankEditorWindow window(editor);
    window.move(10, 10);
    window.resize(1100, 700);
    window.show();

    DrawnClipboard clipboard;
    NoLauncher launcher;
    EditorPictures pictures(editor, store, prompter, clipboard);
    TypeEditor types(store, prompter, course, [&] { editor.loadEditorGrid(); });
    ClipboardPictureImport import(clipboard, launcher, prompter);
    std::unique_ptr<QDialog> shown;
    std::unique_ptr<PaperImport> paper;
    CourseTransfer transfer(editor, store, prompter, [] { return QString(); });

    QTimer::singleShot(300, &app, [&] {
        GridModel& grid = editor.grid();
        int pictureRow = 1;
        while (pictureRow < grid.rowCount() && grid.text(pictureRow, BankEditor::StemPictureColumn).isEmpty())
            ++pictureRow;
        editor.moveToCell(pictureRow, BankEditor::StemPictureColumn);
        if (mode == u"types"_s) {
            shown = std::make_unique<TypeEditorWindow>(types, &window);
        } else if (mode == u"picture"_s) {
            if (!pictures.preparePreview())
                std::fprintf(stderr, "no stem picture in the sample\n");
            shown = std::make_unique<PicturePreviewWindow>(pictures.previewPicture(),
                                                           pictures.previewCaption(), &window);
        } else if (mode == u"question"_s) {
            const qint32 id = qint32(grid.text(pictureRow, BankEditor::RecordIdColumn).toInt());
            shown = std::make_unique<QuestionPreviewWindow>(QuestionPreview::fromRecord(store, course, id),
                                                            &countWrappedLines, &window);
        } else if (mode == u"paper"_s) {
            const QString path = QDir(dir.path()).filePath(u"期中测验.txt"_s);
            QFile file(path);
            if (file.open(QIODevice::WriteOnly))
                file.write(u"七年级数学期中测验\n"
                           "一、选择题（每小题3分，共9分）\n"
                           "在每小题给出的四个选项中，只有一项是符合题目要求的。\n"
                           "1．−3的相反数是（ ）\n"
                           "A．3    B．−3    C．1/3    D．−1/3\n"
                           "2．下列各数中，最小的是（ ）\n"
                           "A．0    B．−1    C．1    D．−2\n"
                           "3．计算 〔公式〕 的结果是（ ）\n"
                           "A．1    B．2    C．3    D．4\n"
                           "二、填空题（每小题4分，共8分）\n"
                           "4．比−2大3的数是______。\n"
                           "5．数轴上到原点距离为2的点表示的数是______。\n"
                           "三、解答题\n"
                           "6．（8分）计算：(−2)×3+4。\n"
                           "【解析】先算乘法，再算加法。\n"
                           "参考答案\n"
                           "1～3 ADC\n"
                           "4．1  5．±2\n"
                           "6．−2\n"_s.toUtf8());
            file.close();
            paper = std::make_unique<PaperImport>(store, prompter, course);
            paper->read(path);
            shown = std::make_unique<PaperImportWindow>(
                *paper, [&] { return paper->importTicked(transfer); }, &window);
            shown->resize(1060, 560);
        } else {
            shown = std::make_unique<ClipboardPictureWindow>(
                import, [](const QByteArray&) {}, &window);
        }
        shown->move(mode == u"paper"_s ? 100 : 200, 120);
        shown->show();
    });
    QTimer::singleShot(seconds * 1000, &app, [] { QApplication::exit(0); });
    return app.exec();
}
