#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace helan {

// The page of a printed paper: its size, columns, the footer (small print and
// page numbers) and the sealing line down the left margin. Sizes in twips.
struct WordPageSetup {
    int width = 11906; // A4 portrait
    int height = 16838;
    bool landscape = false;
    int columns = 1;
    int leftMargin = 1800;
    int rightMargin = 1800;
    QString footerText;        // above the page numbers, in small print
    bool pageNumbers = false;  // "第 X 页 共 Y 页"
    QString sealingLine;       // written along the left margin; empty for none
};

// The insertion point of a word-processor document that papers are typed into:
// text and paragraph breaks go in at the end, paragraph formatting applies to
// the paragraph being typed and font formatting to what is typed next. Calls are
// not checked one by one; a sink that fails says so through its own errors.
class WordSelection {
public:
    virtual ~WordSelection() = default;

    virtual void typeText(const QString& text) = 0;
    virtual void typeParagraph() = 0;
    // Deletes the character before the insertion point.
    virtual void typeBackspace() = 0;
    // 0 left, 1 centred, 3 justified.
    virtual void setAlignment(int alignment) = 0;
    // Alignment by the word processor's constant name ("wdAlignParagraphJustify").
    virtual void setAlignmentName(const QString& name) = 0;
    // In character units; a negative first-line indent hangs.
    virtual void setLeftIndent(double characters) = 0;
    virtual void setFirstLineIndent(double characters) = 0;
    // 1: one and a half lines.
    virtual void setLineSpacingRule(int rule) = 0;
    virtual void setStyle(const QString& style) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setBold(int on) = 0;
    // The picture inline at the insertion point, from its encoded bytes.
    virtual void addPicture(const QByteArray& bytes) = 0;

    // Printed papers only; a sink without them ignores them.
    // The paragraph being typed stays on the page of the next one.
    virtual void setKeepWithNext(bool) {}
    // A bordered table of text cells (first row in bold) before the paragraph
    // being typed.
    virtual void addTable(const QList<QStringList>&) {}
    virtual void setPageSetup(const WordPageSetup&) {}
};

} // namespace helan
