#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "TempFolder.h"
#include "grid/GridModel.h"
#include "grid/GridSort.h"
#include "gridview/GridTableAdapter.h"
#include "gridview/GridView.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

// The columns of the editor grid that matter here: text, a List, a number, a check box.
enum { TextCol, ListCol, NumberCol, CheckCol, Columns };

struct Fixture {
    GridModel grid{Columns};
    GridView view{grid};

    Fixture()
    {
        grid.clearPendingItems();
        for (const QString& item : {u"单选"_s, u"多选"_s, u"填空"_s})
            grid.appendPendingItem(item);
        grid.setColumnKind(ListCol, ColumnKind::List);
        grid.setColumnKind(NumberCol, ColumnKind::Number);
        grid.setColumnKind(CheckCol, ColumnKind::Checkbox);
        grid.setText(0, TextCol, u"题文"_s);
        grid.setRowCount(4);
        for (int r = 1; r < 4; ++r) {
            grid.setText(r, TextCol, u"old"_s + QString::number(r));
            grid.setText(r, ListCol, u"单选"_s);
            grid.setNumber(r, NumberCol, r);
        }
        view.resize(500, 300);
        view.show();
        QApplication::setActiveWindow(&view);
        view.setFocus();
    }

    // The delegate commits a Return through a queued call.
    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The editor open on the cursor cell, if any.
    template <typename Editor> Editor* editor() const
    {
        return qobject_cast<Editor*>(view.indexWidget(view.currentIndex()));
    }

    QModelIndex index(int row, int column) const { return view.adapter().index(row - 1, column); }
    QPoint centre(int row, int column) const { return view.visualRect(index(row, column)).center(); }
    void click(int row, int column, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, mods, centre(row, column));
    }
};

// Collects what QAbstractItemModelTester reports, for the life of the object.
class TesterComplaints {
public:
    TesterComplaints() { m_previous = qInstallMessageHandler(&TesterComplaints::handle); }
    ~TesterComplaints() { qInstallMessageHandler(m_previous); }
    static QStringList& list()
    {
        static QStringList complaints;
        return complaints;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type >= QtWarningMsg && QByteArrayView(context.category) == "qt.modeltest")
            list() << message;
    }
    QtMessageHandler m_previous;
};

} // namespace

TEST(GridViewAdapter, StaysConsistentThroughEveryKindOfChange)
{
    test::TempFolder folder;
    Fixture f;
    TesterComplaints complaints;
    QAbstractItemModelTester tester(&f.view.adapter(), QAbstractItemModelTester::FailureReportingMode::Warning);
    const auto& adapter = f.view.adapter();
    EXPECT_EQ(adapter.rowCount(), 3);
    EXPECT_EQ(adapter.headerData(TextCol, Qt::Horizontal).toString(), u"题文"_s);
    EXPECT_EQ(adapter.data(f.index(2, CheckCol), Qt::CheckStateRole), QVariant(Qt::Unchecked));

    f.grid.appendRow();
    f.grid.insertRow(1);
    f.grid.removeRow(2);
    f.grid.insertColumn(1);
    f.grid.removeColumn(1);
    f.grid.setColour(CellRange(1, 0, 2, 1), 0x00FF00);
    EXPECT_EQ(adapter.data(f.index(1, 0), Qt::BackgroundRole).value<QBrush>().color(), QColor(0, 255, 0));
    f.grid.setAlignment(CellRange(1, NumberCol, 3, NumberCol), CellAlignment::Right);
    EXPECT_EQ(adapter.data(f.index(1, NumberCol), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignRight | Qt::AlignVCenter));
    test::ScriptedPrompter prompter;
    sortRows(f.grid, NumberCol, 1, f.grid.rowCount() - 1, SortKind::Number, prompter, true, false);
    sortRows(f.grid, TextCol, 0, f.grid.rowCount() - 1, SortKind::Text, prompter); // the header moves too
    ASSERT_TRUE(f.grid.save(folder.file(u"g"_s)));
    f.grid.setRowCount(1);
    EXPECT_EQ(adapter.rowCount(), 0);
    ASSERT_TRUE(f.grid.load(folder.file(u"g"_s)));
    EXPECT_EQ(adapter.rowCount(), f.grid.rowCount() - 1);
    f.grid.removeRow(0);
    EXPECT_EQ(adapter.rowCount(), f.grid.rowCount() - 1);
    EXPECT_TRUE(TesterComplaints::list().isEmpty()) << TesterComplaints::list().join(u'\n').toStdString();
}

TEST(GridViewEditing, TypedEditFiresBeginsWithOldValueThenEndedWithNew)
{
    Fixture f;
    QStringList seen;
    QObject::connect(&f.grid.events(), &GridEvents::editBegins,
                     [&] { seen << u"begins "_s + f.grid.text(2, TextCol); });
    QObject::connect(&f.grid.events(), &GridEvents::editEnded,
                     [&] { seen << u"ended "_s + f.grid.text(2, TextCol); });
    f.grid.setCursor(2, TextCol);
    QTest::keyClick(&f.view, Qt::Key_N);
    auto* editor = f.editor<QLineEdit>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, u"ew"_s);
    QTest::keyClick(editor, Qt::Key_Return);
    f.settle();
    EXPECT_EQ(seen, (QStringList{u"begins old2"_s, u"ended new"_s}));
    EXPECT_EQ(f.grid.text(2, TextCol), u"new"_s);

    // Escape ends the edit too, with the old value kept.
    seen.clear();
    QTest::keyClick(&f.view, Qt::Key_F2);
    editor = f.editor<QLineEdit>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, u"zzz"_s);
    QTest::keyClick(editor, Qt::Key_Escape);
    f.settle();
    EXPECT_EQ(seen, (QStringList{u"begins new"_s, u"ended new"_s}));
}

TEST(GridViewEditing, RefusedEditsOpenNoEditor)
{
    Fixture f;
    bool refuse = true;
    QObject::connect(&f.grid.events(), &GridEvents::editRequested, [&](bool& allowed) { allowed = !refuse; });
    QSignalSpy begins(&f.grid.events(), &GridEvents::editBegins);
    f.grid.setCursor(1, TextCol);
    QTest::keyClick(&f.view, Qt::Key_F2);
    EXPECT_EQ(f.editor<QLineEdit>(), nullptr);
    refuse = false;
    f.grid.setReadOnly(CellRange(1, TextCol), true);
    QTest::keyClick(&f.view, Qt::Key_F2);
    f.grid.setReadOnly(CellRange(1, TextCol), false);
    f.grid.setEditingAllowed(false);
    QTest::keyClick(&f.view, Qt::Key_F2);
    EXPECT_EQ(f.editor<QLineEdit>(), nullptr);
    EXPECT_EQ(begins.count(), 0);
    EXPECT_EQ(f.grid.text(1, TextCol), u"old1"_s);
}

TEST(GridViewEditing, OneClickTogglesACheckBoxOnlyWhenEditingIsAllowed)
{
    Fixture f;
    QSignalSpy ended(&f.grid.events(), &GridEvents::editEnded);
    f.click(2, CheckCol);
    EXPECT_TRUE(f.grid.checked(2, CheckCol));
    EXPECT_EQ(ended.count(), 1);
    f.click(2, CheckCol);
    EXPECT_FALSE(f.grid.checked(2, CheckCol));

    f.grid.setEditingAllowed(false);
    f.click(3, CheckCol);
    EXPECT_FALSE(f.grid.checked(3, CheckCol));
    EXPECT_EQ(ended.count(), 2);

    // The window may allow editing on the button's release, before the toggle.
    QObject::connect(&f.grid.events(), &GridEvents::leftButtonUp,
                     [&](int, int, Qt::KeyboardModifiers) { f.grid.setEditingAllowed(true); });
    f.click(3, CheckCol);
    EXPECT_TRUE(f.grid.checked(3, CheckCol));
}

TEST(GridViewEditing, ListColumnOffersExactlyItsItemsInOrder)
{
    Fixture f;
    f.grid.setCursor(1, ListCol);
    QTest::keyClick(&f.view, Qt::Key_F2);
    auto* combo = f.editor<QComboBox>();
    ASSERT_NE(combo, nullptr);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    EXPECT_EQ(items, (QStringList{u"单选"_s, u"多选"_s, u"填空"_s}));
    EXPECT_EQ(combo->currentText(), u"单选"_s);
    combo->setCurrentIndex(2);
    QTest::keyClick(combo, Qt::Key_Return);
    f.settle();
    EXPECT_EQ(f.grid.text(1, ListCol), u"填空"_s);
}

TEST(GridViewKeys, ASwallowedKeyChangesNothing)
{
    Fixture f;
    QObject::connect(&f.grid.events(), &GridEvents::keyDown, [](int key, Qt::KeyboardModifiers, bool& swallow) {
        swallow = key < Qt::Key_0 || key > Qt::Key_9; // digits only, as the count table does
    });
    int requested = 0;
    QObject::connect(&f.grid.events(), &GridEvents::editRequested, [&](bool&) { ++requested; });
    f.grid.setCursor(1, NumberCol);
    QTest::keyClick(&f.view, Qt::Key_X);
    QTest::keyClick(&f.view, Qt::Key_Down);
    EXPECT_EQ(requested, 0);
    EXPECT_EQ(f.editor<QLineEdit>(), nullptr);
    EXPECT_EQ(f.grid.cursorRow(), 1);
    EXPECT_EQ(f.grid.text(1, NumberCol), u"1"_s);

    QTest::keyClick(&f.view, Qt::Key_7); // passes, and starts an edit
    auto* editor = f.editor<QLineEdit>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    f.settle();
    EXPECT_EQ(f.grid.text(1, NumberCol), u"7"_s);
}

TEST(GridViewSync, CursorAndSelectionFollowEachOtherBothWays)
{
    Fixture f;
    f.grid.setCursor(3, NumberCol);
    EXPECT_EQ(f.view.currentIndex(), f.index(3, NumberCol));
    QSignalSpy moved(&f.grid.events(), &GridEvents::cursorMoved);
    f.click(2, ListCol);
    EXPECT_EQ(f.grid.cursorRow(), 2);
    EXPECT_EQ(f.grid.cursorColumn(), ListCol);
    EXPECT_EQ(moved.count(), 1);
    f.click(3, NumberCol, Qt::ShiftModifier);
    EXPECT_EQ(f.grid.selectionStartRow(), 2);
    EXPECT_EQ(f.grid.selectionStartColumn(), ListCol);
    EXPECT_EQ(f.grid.selectionEndRow(), 3);
    EXPECT_EQ(f.grid.selectionEndColumn(), NumberCol);
    f.grid.selectRange(1, 0, 2, 1);
    EXPECT_EQ(f.view.selectionModel()->selectedIndexes().size(), 4);
    // Deleting a row above keeps the cursor on its row number, in the view too;
    // deleting the last row with the cursor on it moves it up.
    f.grid.setCursor(3, 0);
    f.grid.removeRow(1);
    EXPECT_EQ(f.grid.cursorRow(), 2);
    EXPECT_EQ(f.view.currentIndex(), f.index(2, 0));
    f.grid.removeRow(2);
    EXPECT_EQ(f.view.currentIndex(), f.index(1, 0));
    f.grid.insertRow(1);
    EXPECT_EQ(f.view.currentIndex(), f.index(1, 0));
}

TEST(GridViewMouse, ButtonsHeaderAndResizeEventsCarryTheirArguments)
{
    Fixture f;
    QStringList seen;
    auto& e = f.grid.events();
    QObject::connect(&e, &GridEvents::leftButtonDown, [&](int, int, Qt::KeyboardModifiers m) {
        seen << u"down row %1 ctrl %2"_s.arg(f.grid.cursorRow()).arg(bool(m & Qt::ControlModifier));
    });
    QObject::connect(&e, &GridEvents::leftButtonUp,
                     [&](int, int, Qt::KeyboardModifiers) { seen << u"up row %1"_s.arg(f.grid.cursorRow()); });
    QObject::connect(&e, &GridEvents::clicked, [&](int, int) { seen << u"clicked"_s; });
    QObject::connect(&e, &GridEvents::rightButtonUp, [&](int, int, Qt::KeyboardModifiers) { seen << u"right"_s; });
    QObject::connect(&e, &GridEvents::headerClicked,
                     [&](int r, int c) { seen << u"header %1 %2"_s.arg(r).arg(c); });
    QObject::connect(&e, &GridEvents::headerDoubleClicked,
                     [&](int r, int c) { seen << u"header double %1 %2"_s.arg(r).arg(c); });
    QObject::connect(&e, &GridEvents::columnResized, [&](int c) { seen << u"resized %1"_s.arg(c); });

    f.grid.setCursor(1, 0);
    f.click(3, TextCol, Qt::ControlModifier);
    QTest::mouseClick(f.view.viewport(), Qt::RightButton, {}, f.centre(2, TextCol));
    QHeaderView* header = f.view.horizontalHeader();
    const QPoint onHeader(header->sectionViewportPosition(ListCol) + header->sectionSize(ListCol) / 2, 5);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onHeader);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, {}, onHeader);
    EXPECT_EQ(seen.mid(0, 5), (QStringList{u"down row 1 ctrl 1"_s, u"up row 3"_s, u"clicked"_s, u"right"_s,
                                            u"header 0 1"_s}));
    EXPECT_TRUE(seen.contains(u"header double 0 1"_s));

    // A user's drag of a column border: the width reaches the model, then the event.
    seen.clear();
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, onHeader);
    header->resizeSection(ListCol, 120);
    EXPECT_TRUE(seen.isEmpty());
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, onHeader);
    EXPECT_EQ(seen, QStringList{u"resized 1"_s});
    EXPECT_EQ(f.grid.columnWidth(ListCol), 120);
}

TEST(GridViewLook, SizesAndHiddenColumnsFollowTheModel)
{
    Fixture f;
    f.grid.setColumnWidth(NumberCol, 0);
    EXPECT_TRUE(f.view.isColumnHidden(NumberCol));
    EXPECT_EQ(f.grid.text(2, NumberCol), u"2"_s);
    f.grid.setColumnWidth(NumberCol, 35);
    EXPECT_FALSE(f.view.isColumnHidden(NumberCol));
    EXPECT_EQ(f.view.columnWidth(NumberCol), 35);
    f.grid.setRowHeight(2, 60);
    EXPECT_EQ(f.view.rowHeight(1), 60);
    f.grid.setFontHeight(CellRange(1, TextCol), 18);
    EXPECT_EQ(f.view.adapter().data(f.index(1, TextCol), Qt::FontRole).value<QFont>().pixelSize(), 18);
    // Sorting lays the rows down afresh, at the default height.
    test::ScriptedPrompter prompter;
    sortRows(f.grid, NumberCol, 1, 3, SortKind::Number, prompter, true, false);
    EXPECT_EQ(f.view.rowHeight(1), GridModel::kDefaultRowHeight);
}

// The view tells the grid which rows are in sight: when shown, scrolled, and
// when heights change; a row made taller there is laid out at once.
TEST(GridViewRows, TheRowsInSightAreAnnounced)
{
    GridModel grid(2);
    grid.setRowCount(501);
    GridView view(grid);
    view.resize(300, 300);
    QList<std::pair<int, int>> shown;
    QObject::connect(&grid.events(), &GridEvents::rowsShown, [&](int first, int last) {
        shown.append({first, last});
    });
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.last().first, 1);
    EXPECT_GT(shown.last().second, 3);
    EXPECT_LT(shown.last().second, 30);

    view.scrollToBottom();
    QApplication::processEvents();
    EXPECT_EQ(shown.last().second, 500);
    EXPECT_GT(shown.last().first, 470);

    // Heights set together announce once what is then in sight.
    view.scrollToTop();
    QApplication::processEvents();
    shown.clear();
    {
        const GridModel::RowHeightBatch batch(grid);
        for (int r = 1; r <= 500; ++r)
            grid.setRowHeight(r, 100);
    }
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.last().first, 1);
    EXPECT_LE(shown.last().second, 3);
    EXPECT_EQ(view.rowHeight(499), 100);
}
