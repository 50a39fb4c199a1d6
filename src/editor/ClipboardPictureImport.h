#pragma once

#include <QByteArray>
#include <QString>

namespace helan {

class PictureClipboard;
class ProgramLauncher;
class Prompter;

// The logic of the window "从剪贴板导入图片": takes the clipboard's bitmap as BMP
// file bytes, and can start a formula editor whose formula the user copies and
// then imports with 重新导入.
class ClipboardPictureImport {
public:
    static QString helpText();
    // The formula editor: LibreOffice Math on a new formula.
    static QString formulaProgram() { return QStringLiteral("soffice"); }

    ClipboardPictureImport(PictureClipboard& clipboard, ProgramLauncher& launcher, Prompter& prompter);

    // When the window opens and on 重新导入.
    void importPicture();
    // The imported picture as BMP file bytes; empty when the clipboard held none.
    const QByteArray& pictureBytes() const { return m_picture; }
    bool saveEnabled() const { return !m_picture.isEmpty(); }

    // 打开word公式编辑器.
    void openFormulaEditor();
    // 帮助 › 说明.
    void showHelp();

private:
    PictureClipboard& m_clipboard;
    ProgramLauncher& m_launcher;
    Prompter& m_prompter;
    QByteArray m_picture;
};

} // namespace helan
