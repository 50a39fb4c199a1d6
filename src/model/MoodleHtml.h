#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace helan {

// The HTML of Moodle XML text fields. The bank's texts are plain text with CR LF
// line breaks; written out, each text goes into a section of its own
// (<div class="helan-…">) so that reading our own file gives every text back
// exactly, while HTML written by other programs is turned into plain text the
// way a browser would show it.
class MoodleHtml {
public:
    // Section classes of the fields the program writes.
    static QString stemText1Class(); // 题文1
    static QString stemText2Class(); // 题文2
    static QString answerClass();    // 答案

    // A text as HTML that reads back exactly: &, <, > and the quote escaped, each
    // CR LF as <br>, a lone CR or LF as a character reference.
    static QString escape(const QString& text);
    // A section holding a text; spaces and breaks shown as typed.
    static QString section(const QString& cssClass, const QString& text);
    // A picture of the field, named as its <file> element.
    static QString image(const QString& fileName);

    // What a field's HTML holds.
    struct Content {
        // Our sections by class, texts exact.
        QHash<QString, QString> sections;
        // Names of the field's files the pictures show, in order (@@PLUGINFILE@@
        // references only; other sources are not files of the question).
        QStringList images;
        // The whole field as plain text: breaks from <br> and block elements,
        // white space collapsed as HTML does, entities decoded, surrounding
        // spaces and breaks of lines and of the text gone.
        QString text;
    };
    static Content read(const QString& html);

    // Character references (&amp; &#38; &#x26; and the common named ones)
    // decoded; &nbsp; becomes a space, &#160; the no-break space itself.
    static QString decodeEntities(const QString& text);
};

} // namespace helan
