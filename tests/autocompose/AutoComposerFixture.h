#pragma once

#include <memory>

#include "ComposerFixture.h"
#include "autocompose/AutoComposer.h"

namespace helan::test {

// A composer over the course's bank and an AutoComposer opened on it.
class AutoComposerFixture : public ComposerFixture {
protected:
    using A = AutoComposer;

    void openAuto();
    AutoComposer& autoComposer() { return *m_auto; }
    GridModel& typeTable() { return m_auto->typeTable(); }

    // The type table row of a type and score; 0 when there is none.
    int typeRow(const QString& type, int score);
    // "题型/分值/题数/可用/可选" per row, in table order.
    QStringList typeRows();
    // The click on a 组卷题数 cell; the drop-down items it offers.
    QStringList clickCount(int row);
    // Click, then choose or type a count. False when the cell stayed read-only.
    bool chooseCount(const QString& type, int score, int count);
    // "题型=分值" per row of TypeScoreTable; "题型/分值/组卷题数" per plan row.
    QStringList typeScores();
    QStringList planRows();

    std::unique_ptr<AutoComposer> m_auto;
};

} // namespace helan::test
