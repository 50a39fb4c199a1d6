#include "editor/TypeEditor.h"

#include "base/Gbk.h"
#include "base/Prompter.h"
#include "base/TextRules.h"
#include "grid/GridEvents.h"
#include "model/CourseBank.h"
#include "model/CourseCatalog.h"
#include "model/QuestionRecord.h"
#include "model/QuestionTypeLibrary.h"
#include "store/RecordStore.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

using L = QuestionTypeLibrary;

bool findType(RecordStore& store, int field, const QString& name) {
    return store.first() && store.find([&] { return store.readText(field) == name; });
}

} // namespace

TypeEditor::Layout TypeEditor::layoutFor(int width, int height) {
    Layout l;
    l.gridHeight = height - kButtonStrip;
    const int nameWidth = (width - 134) / 3;
    l.columnWidths[NameColumn] = nameWidth;
    l.columnWidths[ScoreColumn] = kNarrowColumn;
    l.columnWidths[DescriptionColumn] = 2 * nameWidth;
    l.columnWidths[AnswerLineBreakColumn] = kNarrowColumn;
    l.buttonsTop = height - kButtonStrip + 12;
    l.deleteLeft = (width - 160) / 3;
    l.addLeft = 2 * l.deleteLeft + kButtonWidth;
    l.scrollBarLeft = width / 2 - 8;
    l.scrollBarTop = l.buttonsTop - 9;
    return l;
}

TypeEditor::TypeEditor(RecordStore& store, Prompter& prompter, const QString& selectedCourse,
                       std::function<void()> reloadEditor, QObject* parent)
    : QObject(parent), m_store(store), m_prompter(prompter), m_selectedCourse(selectedCourse),
      m_reloadEditor(std::move(reloadEditor)), m_grid(kColumnCount) {
    GridEvents& events = m_grid.events();
    connect(&events, &GridEvents::editBegins, this, [this] { editBegins(); });
    connect(&events, &GridEvents::editEnded, this, [this] { editEnded(); });
    connect(&events, &GridEvents::cursorMoved, this, [this] { cursorMoved(); });
}

void TypeEditor::load() {
    L library(m_store, m_prompter);
    const bool open = library.openTypeLibrary() == OpenOutcome::Ready;
    const int count = open ? m_store.recordCount() : 0;
    m_grid.setRowCount(count + 1);
    m_grid.setColumnKind(ScoreColumn, ColumnKind::Number);
    m_grid.setColumnKind(AnswerLineBreakColumn, ColumnKind::Checkbox);
    for (int f = L::TypeName; f <= L::AnswerLineBreak; ++f)
        m_grid.setText(0, f - 1, L::fieldName(L::Field(f)));
    for (int r = 1; r <= count; ++r) {
        m_store.goTo(r);
        m_grid.setText(r, NameColumn, m_store.readText(L::TypeName));
        m_grid.setNumber(r, ScoreColumn, m_store.readInt(L::Score));
        m_grid.setText(r, DescriptionColumn, m_store.readText(L::Description));
        m_grid.setChecked(r, AnswerLineBreakColumn, m_store.readBool(L::AnswerLineBreak));
    }
    const int last = m_grid.rowCount() - 1;
    m_grid.setAlignment(CellRange(0, NameColumn, last, AnswerLineBreakColumn), CellAlignment::Centre);
    if (last >= 1)
        m_grid.setAlignment(CellRange(1, DescriptionColumn, last, DescriptionColumn), CellAlignment::Left);
    m_grid.setReadOnly(CellRange(0, NameColumn, 0, AnswerLineBreakColumn), true);
    m_grid.setEditingAllowed(true);
    setDeleteEnabled(m_grid.cursorRow() >= 1);
}

void TypeEditor::rowHeightChanged(int position) {
    const GridModel::RowHeightBatch batch(m_grid);
    for (int r = 0; r < m_grid.rowCount(); ++r)
        m_grid.setRowHeight(r, position + 24);
}

bool TypeEditor::libraryRecord(int row) {
    L library(m_store, m_prompter);
    return library.openTypeLibrary() == OpenOutcome::Ready && m_store.goTo(row);
}

void TypeEditor::editBegins() {
    const int c = m_grid.cursorColumn();
    if (c <= DescriptionColumn)
        m_oldValue = m_grid.text(m_grid.cursorRow(), c);
}

void TypeEditor::editEnded() {
    const int row = m_grid.cursorRow();
    const int column = m_grid.cursorColumn();
    if (row < 1)
        return;
    if (column == AnswerLineBreakColumn) {
        cursorMoved();
        return;
    }
    const QString value = m_grid.text(row, column);
    if (value == m_oldValue)
        return;
    if (column == NameColumn) {
        renamed(row, m_oldValue, value);
        return;
    }
    if (!libraryRecord(row))
        return;
    if (column == ScoreColumn)
        m_store.write(L::Score, int(m_grid.numberValue(row, column)));
    else
        m_store.write(L::Description, value);
}

void TypeEditor::cursorMoved() {
    const int row = m_grid.cursorRow();
    setDeleteEnabled(row >= 1);
    if (row >= 1 && m_grid.cursorColumn() == AnswerLineBreakColumn && libraryRecord(row)) {
        const bool on = m_grid.checked(row, AnswerLineBreakColumn);
        if (m_store.readBool(L::AnswerLineBreak) != on)
            m_store.write(L::AnswerLineBreak, on);
    }
}

QString TypeEditor::refusalFor(const QString& name) {
    if (gbkLength(name) > L::kTypeNameWidth)
        return u"题型长度超标！"_s;
    if (name.isEmpty())
        return u"题型不能为空！"_s;
    L library(m_store, m_prompter);
    if (library.openTypeLibrary() == OpenOutcome::Ready && findType(m_store, L::TypeName, name))
        return u"题型 "_s + name + u" 已经存在！"_s;
    return {};
}

void TypeEditor::renamed(int row, const QString& oldName, const QString& typed) {
    // Two types of one name would make a paper's major questions ambiguous, so a
    // new name gets the checks of adding a type.
    const QString name = trimSpaces(typed);
    if (name == oldName) {
        m_grid.setText(row, NameColumn, oldName);
        return;
    }
    if (const QString refusal = refusalFor(name); !refusal.isEmpty()) {
        m_grid.setText(row, NameColumn, oldName);
        m_prompter.message(refusal);
        return;
    }
    const bool usedElsewhere = usedByCourses(oldName, false);
    L library(m_store, m_prompter);
    (void)library.openTypeLibrary();
    if (usedElsewhere) {
        m_grid.setText(row, NameColumn, oldName);
        m_prompter.message(u"该题型正在被其它题库使用，不能修改！"_s);
        return;
    }
    if (!m_prompter.okCancel(u"确定要将题型 "_s + oldName + u" 修改为 "_s + name + u" 吗？"_s)) {
        m_grid.setText(row, NameColumn, oldName);
        return;
    }
    // The library first, then the course's questions in one batch; when the
    // questions cannot follow, the library takes its old name back, so that no
    // question ever carries a type the library does not know.
    bool renamed = libraryRecord(row) && m_store.write(L::TypeName, name);
    QString reason = renamed ? QString() : RecordStore::lastErrorText();
    if (renamed && m_store.setCurrent(m_selectedCourse)) {
        RecordStore::Batch batch(m_store, m_selectedCourse);
        while (renamed && findType(m_store, QuestionRecord::Type, oldName))
            renamed = m_store.write(QuestionRecord::Type, name);
        renamed = renamed && batch.commit();
        if (!renamed) {
            reason = RecordStore::lastErrorText();
            if (!libraryRecord(row) || !m_store.write(L::TypeName, oldName)) {
                // The library could not take its old name back (a disk that
                // stays full): the grid shows what the library holds, and the
                // teacher hears that the questions kept the old name.
                m_grid.setText(row, NameColumn, name);
                m_prompter.message(u"题型 "_s + oldName + u" 未能改名为 "_s + name + u"："_s + reason +
                                       u"。题型库已改为 "_s + name + u"，本课程的试题仍是 "_s + oldName +
                                       u"，请检查磁盘后再改一次。"_s,
                                   {}, Prompter::Icon::Error);
                if (m_reloadEditor)
                    m_reloadEditor();
                return;
            }
        }
    }
    if (!renamed) {
        m_grid.setText(row, NameColumn, oldName);
        m_prompter.message(u"题型 "_s + oldName + u" 未能改名为 "_s + name + u"："_s + reason, {},
                           Prompter::Icon::Error);
        return;
    }
    m_grid.setText(row, NameColumn, name);
    // The editor takes its type list from the library: renamed there first, or
    // it would go on offering the old name, a type no paper knows.
    if (m_reloadEditor)
        m_reloadEditor();
}

bool TypeEditor::usedByCourses(const QString& type, bool includeSelected) {
    CourseCatalog catalog(m_store, m_prompter);
    const QStringList courses = catalog.courseNames();
    CourseBank bank(m_store, m_prompter);
    bool found = false;
    for (int k = 0; k < courses.size() && !found; ++k) {
        const QString& course = courses.at(k);
        const bool selected = course == m_selectedCourse;
        if (selected && !includeSelected)
            continue;
        const bool wasOpen = m_store.isOpen(course);
        if (!wasOpen && !catalog.goToCourse(k))
            continue;
        if (!bank.openCourseBank({course, false, {}, -1}))
            continue;
        found = findType(m_store, QuestionRecord::Type, type);
        if (!wasOpen && !selected)
            m_store.close(course);
    }
    return found;
}

void TypeEditor::deleteType() {
    const int row = m_grid.cursorRow();
    if (row < 1 || row >= m_grid.rowCount())
        return;
    const QString name = m_grid.text(row, NameColumn);
    if (usedByCourses(name, true)) {
        m_prompter.message(u"该题型正在被使用，不能删除！"_s);
        return;
    }
    L library(m_store, m_prompter);
    if (library.openTypeLibrary() != OpenOutcome::Ready || !findType(m_store, L::TypeName, name))
        return;
    // Mark and purge as one change: a mark left behind alone would hide the
    // type from the library while the grid still lists it.
    RecordStore::Batch batch(m_store);
    if (!m_store.markDeleted() || !m_store.purge() || !batch.commit()) {
        m_prompter.message(u"题型 "_s + name + u" 未能删除："_s + RecordStore::lastErrorText(), {},
                           Prompter::Icon::Error);
        return;
    }
    m_grid.removeRow(row);
    cursorMoved();
}

void TypeEditor::addType() {
    const std::optional<QString> typed =
        m_prompter.input(u"请输入题型名称（字母512字内，汉字256字内）："_s, QString());
    if (!typed)
        return;
    const QString name = trimSpaces(*typed);
    if (const QString refusal = refusalFor(name); !refusal.isEmpty()) {
        m_prompter.message(refusal);
        return;
    }
    if (!m_store.append({name, 0, QString(), true})) {
        m_prompter.message(u"题型 "_s + name + u" 未能添加："_s + RecordStore::lastErrorText(), {},
                           Prompter::Icon::Error);
        return;
    }
    const int row = m_grid.appendRow();
    m_grid.setText(row, NameColumn, name);
    m_grid.setNumber(row, ScoreColumn, 0);
    m_grid.setText(row, DescriptionColumn, QString());
    m_grid.setChecked(row, AnswerLineBreakColumn, true);
    m_grid.setAlignment(CellRange(row, NameColumn, row, AnswerLineBreakColumn), CellAlignment::Centre);
    m_grid.setAlignment(CellRange(row, DescriptionColumn), CellAlignment::Left);
}

void TypeEditor::setDeleteEnabled(bool on) {
    if (on == m_deleteEnabled)
        return;
    m_deleteEnabled = on;
    Q_EMIT deleteEnabledChanged(on);
}

} // namespace helan
