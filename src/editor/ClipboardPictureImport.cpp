#include "editor/ClipboardPictureImport.h"

#include "base/Prompter.h"
#include "editor/PictureClipboard.h"
#include "editor/PictureCodec.h"
#include "editor/ProgramLauncher.h"

using namespace Qt::StringLiterals;

namespace helan {

QString ClipboardPictureImport::helpText() {
    return u"如果公式编辑器自动安装不成功，请关闭word，从原始安装盘（不是从‘添加/"
           u"删除程序’里）启动office安装程序，"
           u"选择‘添加或删除功能’以及‘选择应用程序的高级功能’，在‘office工具’里设置‘公式编辑器’‘从本机运行’后更新。"_s;
}

ClipboardPictureImport::ClipboardPictureImport(PictureClipboard& clipboard, ProgramLauncher& launcher,
                                               Prompter& prompter)
    : m_clipboard(clipboard), m_launcher(launcher), m_prompter(prompter) {}

void ClipboardPictureImport::importPicture() {
    m_picture = PictureCodec::bmpBytes(m_clipboard.image());
}

void ClipboardPictureImport::openFormulaEditor() {
    const QString program = m_launcher.find(formulaProgram());
    if (program.isEmpty() || !m_launcher.start(program, {u"--math"_s})) {
        m_prompter.message(u"请安装word"_s);
        return;
    }
}

void ClipboardPictureImport::showHelp() {
    m_prompter.message(helpText());
}

} // namespace helan
