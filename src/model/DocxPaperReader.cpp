#include "model/DocxPaperReader.h"

#include <array>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

#include <zip.h>

using namespace Qt::StringLiterals;

namespace helan {

namespace {

constexpr qint64 kMegabyte = 1024 * 1024;

QString megabytes(qint64 bytes) {
    return QString::number(double(bytes) / double(kMegabyte), 'f', 1) + u" MB"_s;
}

// ---- The archive

// A .docx opened read-only; every part is read with a ceiling on its size.
class Archive {
public:
    enum class Outcome { Read, Missing, TooLarge, Broken };

    ~Archive() {
        if (m_zip)
            zip_discard(m_zip);
    }

    bool open(const QString& path, QString* error) {
        int code = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
        if (!m_zip) {
            *error = code == ZIP_ER_NOZIP || code == ZIP_ER_INCONS
                         ? u"这个文件不是Word文档（.docx），或者已经损坏。"_s
                         : u"无法打开这个文件。"_s;
            return false;
        }
        if (zip_get_num_entries(m_zip, 0) > DocxPaperReader::kMaxEntries) {
            *error = u"这个文件不是正常的Word文档：其中的部件多得异常。"_s;
            return false;
        }
        return true;
    }

    // The part's unpacked bytes, never more than limit of them: the size its
    // header claims is checked first, then the bytes actually unpacked.
    Outcome read(const QString& name, qint64 limit, QByteArray* out) {
        out->clear();
        const zip_int64_t index = zip_name_locate(m_zip, name.toUtf8().constData(), ZIP_FL_NOCASE);
        if (index < 0)
            return Outcome::Missing;
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &stat) != 0)
            return Outcome::Broken;
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > zip_uint64_t(limit))
            return Outcome::TooLarge;
        zip_file_t* file = zip_fopen_index(m_zip, zip_uint64_t(index), 0);
        if (!file)
            return Outcome::Broken;
        constexpr qint64 kChunk = 64 * 1024;
        Outcome outcome = Outcome::Read;
        for (;;) {
            const qint64 at = out->size();
            const qint64 want = std::min(kChunk, limit + 1 - at);
            if (want <= 0) {
                outcome = Outcome::TooLarge;
                break;
            }
            out->resize(at + want);
            const zip_int64_t got = zip_fread(file, out->data() + at, zip_uint64_t(want));
            if (got < 0) {
                outcome = Outcome::Broken;
                break;
            }
            out->resize(at + got);
            if (got == 0)
                break;
        }
        zip_fclose(file);
        if (outcome != Outcome::Read)
            out->clear();
        return outcome;
    }

private:
    zip_t* m_zip = nullptr;
};

// ---- XML helpers

// An attribute by its local name, whatever its prefix ("w:val", "r:embed").
QString attribute(const QXmlStreamReader& x, QStringView localName) {
    for (const QXmlStreamAttribute& a : x.attributes()) {
        if (a.name() == localName)
            return a.value().toString();
    }
    return {};
}

// Reads a small XML part from start to end, calling visit on every start
// element. False when the XML is damaged or declares a document type.
template <typename Visit> bool scanXml(const QByteArray& xml, Visit visit) {
    QXmlStreamReader x(xml);
    int depth = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (x.isDTD())
            return false;
        if (x.isStartElement()) {
            if (++depth > DocxPaperReader::kMaxDepth)
                return false;
            visit(x);
        } else if (x.isEndElement()) {
            --depth;
        }
    }
    return !x.hasError();
}

// A part's name from a relationship target: relative to the folder of the part
// that holds the relationship, or absolute from the package root.
QString resolvePart(const QString& folder, const QString& target) {
    QString path = target.startsWith(u'/') ? target.mid(1) : folder + target;
    QStringList out;
    for (const QString& piece : path.split(u'/')) {
        if (piece.isEmpty() || piece == u"."_s)
            continue;
        if (piece == u".."_s) {
            if (!out.isEmpty())
                out.removeLast();
            continue;
        }
        out.append(piece);
    }
    return out.join(u'/');
}

struct Relationship {
    QString type;
    QString part;
};

QHash<QString, Relationship> readRelationships(const QByteArray& xml, const QString& folder) {
    QHash<QString, Relationship> out;
    scanXml(xml, [&](QXmlStreamReader& x) {
        if (x.name() != u"Relationship"_s || attribute(x, u"TargetMode") == u"External"_s)
            return;
        out.insert(attribute(x, u"Id"),
                   {attribute(x, u"Type"), resolvePart(folder, attribute(x, u"Target"))});
    });
    return out;
}

QString folderOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(u'/');
    return slash < 0 ? QString() : part.left(slash + 1);
}

// ---- Automatic list numbers

QString chineseNumber(int n) {
    static const QString digits = u"〇一二三四五六七八九"_s;
    if (n <= 0 || n >= 100)
        return QString::number(n);
    if (n < 10)
        return digits.at(n);
    QString out;
    if (n >= 20)
        out += digits.at(n / 10);
    out += u'十';
    if (n % 10)
        out += digits.at(n % 10);
    return out;
}

QString romanNumber(int n) {
    if (n <= 0 || n >= 4000)
        return QString::number(n);
    static const std::array<std::pair<int, const char*>, 13> parts{{{1000, "M"},
                                                                    {900, "CM"},
                                                                    {500, "D"},
                                                                    {400, "CD"},
                                                                    {100, "C"},
                                                                    {90, "XC"},
                                                                    {50, "L"},
                                                                    {40, "XL"},
                                                                    {10, "X"},
                                                                    {9, "IX"},
                                                                    {5, "V"},
                                                                    {4, "IV"},
                                                                    {1, "I"}}};
    QString out;
    for (const auto& [value, text] : parts) {
        while (n >= value) {
            out += QLatin1StringView(text);
            n -= value;
        }
    }
    return out;
}

QString letterNumber(int n, char16_t first) {
    if (n <= 0)
        return QString::number(n);
    // A … Z, then AA … ZZ, as Word counts.
    const int repeat = (n - 1) / 26 + 1;
    return QString(repeat, QChar(char16_t(first + (n - 1) % 26)));
}

QString formatNumber(const QString& format, int n) {
    if (format == u"upperLetter"_s)
        return letterNumber(n, u'A');
    if (format == u"lowerLetter"_s)
        return letterNumber(n, u'a');
    if (format == u"upperRoman"_s)
        return romanNumber(n);
    if (format == u"lowerRoman"_s)
        return romanNumber(n).toLower();
    if (format.startsWith(u"chineseCounting"_s) || format == u"ideographDigital"_s ||
        format == u"japaneseCounting"_s || format == u"taiwaneseCounting"_s)
        return chineseNumber(n);
    if (format == u"chineseLegalSimplified"_s) {
        static const QString legal = u"零壹贰叁肆伍陆柒捌玖拾"_s;
        return n >= 1 && n <= 10 ? QString(legal.at(n)) : QString::number(n);
    }
    if (format == u"ideographTraditional"_s) {
        static const QString stems = u"甲乙丙丁戊己庚辛壬癸"_s;
        return n >= 1 && n <= 10 ? QString(stems.at(n - 1)) : QString::number(n);
    }
    if (format.startsWith(u"decimalEnclosedCircle"_s))
        return n >= 1 && n <= 20 ? QString(QChar(char16_t(0x2460 + n - 1))) : QString::number(n);
    if (format.startsWith(u"decimalEnclosedParen"_s))
        return u"("_s + QString::number(n) + u")"_s;
    if (format.startsWith(u"decimalFullWidth"_s)) {
        QString out = QString::number(n);
        for (QChar& c : out)
            c = QChar(char16_t(c.unicode() - u'0' + 0xFF10));
        return out;
    }
    if (format == u"decimalZero"_s)
        return n < 10 ? u"0"_s + QString::number(n) : QString::number(n);
    return QString::number(n);
}

// Word's automatic numbering (numbering.xml, and styles that carry a list):
// the label each numbered paragraph shows, counted as Word counts it.
class ListNumbering {
public:
    void readNumbering(const QByteArray& xml) {
        int abstractId = -1;
        int level = -1;
        int num = -1;
        int overrideLevel = -1;
        enum class In { None, Abstract, Num } in = In::None;
        scanXml(xml, [&](QXmlStreamReader& x) {
            const QStringView name = x.name();
            if (name == u"abstractNum"_s) {
                in = In::Abstract;
                abstractId = attribute(x, u"abstractNumId").toInt();
                level = -1;
            } else if (name == u"num"_s) {
                in = In::Num;
                num = attribute(x, u"numId").toInt();
                overrideLevel = -1;
            } else if (in == In::Abstract && name == u"lvl"_s) {
                level = attribute(x, u"ilvl").toInt();
                if (level >= 0 && level < kLevels)
                    m_abstracts[abstractId][level] = Level{};
            } else if (in == In::Abstract && level >= 0 && level < kLevels) {
                Level& l = m_abstracts[abstractId][level];
                if (name == u"start"_s)
                    l.start = attribute(x, u"val").toInt();
                else if (name == u"numFmt"_s)
                    l.format = attribute(x, u"val");
                else if (name == u"lvlText"_s)
                    l.text = attribute(x, u"val");
                else if (name == u"suff"_s)
                    l.suffix = attribute(x, u"val");
            } else if (in == In::Num && name == u"abstractNumId"_s) {
                m_numAbstract.insert(num, attribute(x, u"val").toInt());
            } else if (in == In::Num && name == u"lvlOverride"_s) {
                overrideLevel = attribute(x, u"ilvl").toInt();
            } else if (in == In::Num && name == u"startOverride"_s && overrideLevel >= 0 &&
                       overrideLevel < kLevels) {
                m_startOverrides[num][overrideLevel] = attribute(x, u"val").toInt();
            }
        });
    }

    void readStyles(const QByteArray& xml) {
        QString style;
        scanXml(xml, [&](QXmlStreamReader& x) {
            const QStringView name = x.name();
            if (name == u"style"_s) {
                style = attribute(x, u"styleId");
            } else if (style.isEmpty()) {
                return;
            } else if (name == u"basedOn"_s) {
                m_basedOn.insert(style, attribute(x, u"val"));
            } else if (name == u"numId"_s) {
                m_styleNum[style].first = attribute(x, u"val").toInt();
            } else if (name == u"ilvl"_s) {
                m_styleNum[style].second = attribute(x, u"val").toInt();
            }
        });
    }

    // The label of a paragraph with this style and its own numbering (-1 where
    // the paragraph says nothing), followed by its separator; empty when the
    // paragraph is not numbered. Counts the paragraph.
    QString label(const QString& style, int ownNum, int ownLevel) {
        int num = ownNum;
        int level = ownLevel;
        QString s = style;
        for (int steps = 0; steps < 16 && !s.isEmpty() && (num < 0 || level < 0); ++steps) {
            if (const auto it = m_styleNum.constFind(s); it != m_styleNum.constEnd()) {
                if (num < 0 && it->first > 0)
                    num = it->first;
                if (level < 0 && it->first > 0)
                    level = it->second;
            }
            s = m_basedOn.value(s);
        }
        level = std::max(level, 0);
        if (num <= 0 || level >= kLevels)
            return {};
        const auto abstractIt = m_numAbstract.constFind(num);
        if (abstractIt == m_numAbstract.constEnd())
            return {};
        const int abstractId = *abstractIt;
        const auto levelsIt = m_abstracts.constFind(abstractId);
        if (levelsIt == m_abstracts.constEnd() || !levelsIt->contains(level))
            return {};
        const QHash<int, Level>& levels = *levelsIt;
        Counters& counters = m_counters[abstractId];
        if (!m_numsStarted.contains(num)) {
            m_numsStarted.insert(num);
            for (auto it = m_startOverrides.value(num).cbegin(); it != m_startOverrides.value(num).cend();
                 ++it)
                counters[size_t(it.key())] = {it.value() - 1, true};
        }
        Counter& c = counters[size_t(level)];
        c.value = c.set ? c.value + 1 : levels.value(level).start;
        c.set = true;
        for (int deeper = level + 1; deeper < kLevels; ++deeper)
            counters[size_t(deeper)].set = false;

        const Level& l = levels.value(level);
        if (l.format == u"bullet"_s || l.format == u"none"_s || l.text.isEmpty())
            return {};
        QString text = l.text;
        for (int k = 0; k < kLevels; ++k) {
            const QString placeholder = u"%"_s + QString::number(k + 1);
            if (!text.contains(placeholder))
                continue;
            const Level shown = levels.value(k);
            const int value = counters[size_t(k)].set ? counters[size_t(k)].value : shown.start;
            text.replace(placeholder, formatNumber(shown.format, value));
        }
        return l.suffix == u"nothing"_s ? text : text + u' ';
    }

private:
    static constexpr int kLevels = 9;
    struct Level {
        int start = 1;
        QString format = u"decimal"_s;
        QString text;
        QString suffix = u"tab"_s;
    };
    struct Counter {
        int value = 0;
        bool set = false;
    };
    using Counters = std::array<Counter, kLevels>;

    QHash<int, QHash<int, Level>> m_abstracts;
    QHash<int, int> m_numAbstract;
    QHash<int, QHash<int, int>> m_startOverrides;
    QHash<QString, std::pair<int, int>> m_styleNum;
    QHash<QString, QString> m_basedOn;
    QHash<int, Counters> m_counters;
    QSet<int> m_numsStarted;
};

// ---- The main document

// Walks document.xml once, writing lines into the paper. Each handler is called
// on a start element and returns on its end element.
class DocumentWalker {
public:
    DocumentWalker(Archive& archive, QHash<QString, Relationship> relationships, ListNumbering& numbering,
                   PaperSource& out)
        : m_archive(archive), m_relationships(std::move(relationships)), m_numbering(numbering), m_out(out) {}

    bool walk(const QByteArray& xml, QString* error) {
        m_x.addData(xml);
        while (!m_x.atEnd()) {
            m_x.readNext();
            if (m_x.isDTD()) {
                *error = u"这个Word文档含有不允许的文档类型声明（DTD），为安全起见不予读取。"_s;
                return false;
            }
            if (m_x.isStartElement()) {
                blockChildren();
                break;
            }
        }
        if (m_x.hasError()) {
            *error = m_fatal.isEmpty()
                         ? u"这个Word文档的内容已损坏，无法读取（"_s + m_x.errorString() + u"）。"_s
                         : m_fatal;
            return false;
        }
        flushLine();
        return true;
    }

private:
    bool enter() {
        if (++m_depth > DocxPaperReader::kMaxDepth) {
            m_fatal = u"这个Word文档的结构嵌套过深，不是正常的文档。"_s;
            m_x.raiseError(m_fatal);
            return false;
        }
        return true;
    }
    void leave() { --m_depth; }

    // Reads to the end of the current element, calling handle on each child.
    template <typename Handle> void children(Handle handle) {
        if (!enter())
            return;
        while (!m_x.atEnd()) {
            m_x.readNext();
            if (m_x.isEndElement())
                break;
            if (m_x.isStartElement())
                handle(m_x.name());
        }
        leave();
    }

    void skip() { m_x.skipCurrentElement(); }

    // Paragraphs, tables and whatever wraps them (content controls, custom XML).
    void blockChildren() {
        children([this](QStringView name) { block(name); });
    }

    void block(QStringView name) {
        if (name == u"p"_s)
            paragraph();
        else if (name == u"tbl"_s)
            table();
        else if (name == u"sectPr"_s || name == u"del"_s || name == u"moveFrom"_s)
            skip();
        else if (name == u"AlternateContent"_s)
            alternate(false);
        else
            blockChildren();
    }

    void paragraph() {
        if (m_inline > 0)
            separate(u" "_s);
        bool labelled = false;
        children([&](QStringView name) {
            if (name == u"pPr"_s) {
                paragraphProperties();
                labelled = true;
                return;
            }
            if (!labelled) {
                // A paragraph without properties may still take a style's numbering.
                labelled = true;
                m_text += m_numbering.label(QString(), -1, -1);
            }
            inlineElement(name);
        });
        if (m_inline == 0)
            flushLine();
    }

    void paragraphProperties() {
        QString style;
        int num = -1;
        int level = -1;
        children([&](QStringView name) {
            if (name == u"pStyle"_s) {
                style = attribute(m_x, u"val");
                skip();
            } else if (name == u"numPr"_s) {
                children([&](QStringView inner) {
                    if (inner == u"numId"_s)
                        num = attribute(m_x, u"val").toInt();
                    else if (inner == u"ilvl"_s)
                        level = attribute(m_x, u"val").toInt();
                    skip();
                });
            } else {
                skip();
            }
        });
        m_text += m_numbering.label(style, num, level);
    }

    void inlineChildren() {
        children([this](QStringView name) { inlineElement(name); });
    }

    void inlineElement(QStringView name) {
        if (name == u"r"_s) {
            run();
        } else if (name == u"oMath"_s || name == u"oMathPara"_s) {
            equation();
        } else if (name == u"del"_s || name == u"moveFrom"_s || name == u"rPr"_s || name == u"pPr"_s ||
                   name == u"instrText"_s || name == u"delText"_s || name == u"rt"_s) {
            skip();
        } else if (name == u"AlternateContent"_s) {
            alternate(true);
        } else if (name == u"p"_s) {
            nested([this] { paragraph(); });
        } else if (name == u"tbl"_s) {
            nested([this] { table(); });
        } else {
            inlineChildren();
        }
    }

    void run() {
        children([this](QStringView name) {
            if (name == u"t"_s) {
                // A picture mark typed as text would stand for no picture.
                m_text += m_x.readElementText(QXmlStreamReader::SkipChildElements)
                              .remove(PaperSource::pictureMark());
            } else if (name == u"tab"_s || name == u"ptab"_s) {
                m_text += u'\t';
                skip();
            } else if (name == u"br"_s || name == u"cr"_s) {
                lineBreak();
                skip();
            } else if (name == u"noBreakHyphen"_s) {
                m_text += u'-';
                skip();
            } else if (name == u"drawing"_s || name == u"pict"_s) {
                graphics();
            } else if (name == u"object"_s) {
                object();
            } else if (name == u"AlternateContent"_s) {
                alternate(true);
            } else if (name == u"oMath"_s || name == u"oMathPara"_s) {
                equation();
            } else if (name == u"ruby"_s) {
                inlineChildren();
            } else if (name == u"rubyBase"_s) {
                inlineChildren();
            } else {
                skip();
            }
        });
    }

    // Markup-compatibility blocks: the first choice is what Word shows; the
    // fallback repeats it for older readers.
    void alternate(bool inlineContent) {
        bool taken = false;
        children([&](QStringView name) {
            if (name == u"Choice"_s && !taken) {
                taken = true;
                if (inlineContent)
                    inlineChildren();
                else
                    blockChildren();
            } else {
                skip();
            }
        });
    }

    // A drawing or a VML picture: its pictures, and the text of its text boxes.
    void graphics() {
        children([this](QStringView name) {
            if (name == u"blip"_s) {
                picture(attribute(m_x, u"embed"));
                skip();
            } else if (name == u"imagedata"_s) {
                picture(attribute(m_x, u"id"));
                skip();
            } else if (name == u"txbxContent"_s) {
                nested([this] { blockChildren(); });
            } else if (name == u"AlternateContent"_s) {
                bool taken = false;
                children([&](QStringView inner) {
                    if (inner == u"Choice"_s && !taken) {
                        taken = true;
                        graphics();
                    } else {
                        skip();
                    }
                });
            } else {
                graphics();
            }
        });
    }

    // An embedded object: an equation of the old equation editor or MathType
    // shows as a picture of the formula, which is still a formula.
    void object() {
        QStringList pictures;
        bool formula = false;
        const auto scan = [&](const auto& self) -> void {
            children([&](QStringView name) {
                if (name == u"imagedata"_s) {
                    pictures.append(attribute(m_x, u"id"));
                    skip();
                } else if (name == u"OLEObject"_s) {
                    const QString program = attribute(m_x, u"ProgID");
                    formula = formula || program.startsWith(u"Equation"_s, Qt::CaseInsensitive) ||
                              program.contains(u"DSMT"_s) || program.contains(u"MathType"_s);
                    skip();
                } else {
                    self(self);
                }
            });
        };
        scan(scan);
        if (formula) {
            m_text += PaperSource::equationMark();
            return;
        }
        for (const QString& id : pictures)
            picture(id);
    }

    void equation() {
        m_text += PaperSource::equationMark();
        skip();
    }

    // A table row is one line, its cells side by side.
    void table() {
        children([this](QStringView name) {
            if (name == u"tr"_s)
                tableRow();
            else if (name == u"tblPr"_s || name == u"tblGrid"_s)
                skip();
            else
                table();
        });
    }

    void tableRow() {
        nested([this] {
            children([this](QStringView name) {
                if (name == u"tc"_s) {
                    separate(u"  "_s);
                    blockChildren();
                } else if (name == u"trPr"_s || name == u"tblPrEx"_s) {
                    skip();
                } else {
                    // Cells inside content controls.
                    children([this](QStringView inner) {
                        if (inner == u"tc"_s) {
                            separate(u"  "_s);
                            blockChildren();
                        } else {
                            skip();
                        }
                    });
                }
            });
        });
        if (m_inline == 0)
            flushLine();
    }

    // Paragraphs inside a table cell or a text box join the line being read.
    template <typename Body> void nested(Body body) {
        ++m_inline;
        body();
        --m_inline;
    }

    void separate(const QString& gap) {
        if (!m_text.isEmpty() && !m_text.endsWith(gap))
            m_text += gap;
    }

    void lineBreak() {
        if (m_inline > 0)
            separate(u" "_s);
        else
            flushLine();
    }

    void flushLine() {
        if (!m_text.trimmed().isEmpty() || !m_pictures.isEmpty())
            m_out.lines.append(PaperLine{m_text, m_pictures});
        m_text.clear();
        m_pictures.clear();
    }

    void picture(const QString& id) {
        const auto rel = m_relationships.constFind(id);
        if (id.isEmpty() || rel == m_relationships.constEnd())
            return;
        const QString part = rel->part;
        int index = m_pictureIndex.value(part, -1);
        if (index < 0) {
            if (m_failedPictures.contains(part))
                return;
            const QString name = part.section(u'/', -1);
            QByteArray bytes;
            const qint64 room = std::min(DocxPaperReader::kMaxPictureBytes,
                                         DocxPaperReader::kMaxPicturesBytes - m_pictureBytes);
            const Archive::Outcome outcome = m_archive.read(part, room, &bytes);
            if (outcome != Archive::Outcome::Read) {
                m_failedPictures.insert(part);
                m_out.notes.append(outcome == Archive::Outcome::TooLarge
                                       ? u"图片"_s + name + u"太大，没有读入。"_s
                                       : u"图片"_s + name + u"缺失或已损坏，没有读入。"_s);
                return;
            }
            m_pictureBytes += bytes.size();
            index = int(m_out.pictures.size());
            m_out.pictures.append(PaperPicture{bytes, name});
            m_pictureIndex.insert(part, index);
        }
        m_text += PaperSource::pictureMark();
        m_pictures.append(index);
    }

    Archive& m_archive;
    QHash<QString, Relationship> m_relationships;
    ListNumbering& m_numbering;
    PaperSource& m_out;
    QXmlStreamReader m_x;
    QString m_fatal;
    int m_depth = 0;
    int m_inline = 0;
    QString m_text;
    QList<int> m_pictures;
    QHash<QString, int> m_pictureIndex;
    QSet<QString> m_failedPictures;
    qint64 m_pictureBytes = 0;
};

bool startsLikeOldWord(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(8) == QByteArray::fromHex("d0cf11e0a1b11ae1");
}

} // namespace

std::optional<PaperSource> DocxPaperReader::read(const QString& path, QString* error) {
    QString ignored;
    if (!error)
        error = &ignored;
    error->clear();
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable()) {
        *error = u"无法读取这个文件。"_s;
        return std::nullopt;
    }
    if (info.size() > kMaxFileBytes) {
        *error = u"这个Word文档太大（"_s + megabytes(info.size()) + u"），最多只能读取"_s +
                 megabytes(kMaxFileBytes) + u"的文档。"_s;
        return std::nullopt;
    }
    if (startsLikeOldWord(path)) {
        *error = u"这是旧版Word文档（.doc）或加了密码的文档，请在Word中另存为.docx后再导入。"_s;
        return std::nullopt;
    }
    Archive archive;
    if (!archive.open(path, error))
        return std::nullopt;

    const auto part = [&](const QString& name, QByteArray* bytes) {
        const Archive::Outcome outcome = archive.read(name, kMaxXmlBytes, bytes);
        if (outcome == Archive::Outcome::TooLarge)
            *error = u"这个Word文档的内容解压后超过"_s + megabytes(kMaxXmlBytes) +
                     u"，不是正常的试卷，不予读取。"_s;
        else if (outcome == Archive::Outcome::Broken)
            *error = u"这个Word文档已经损坏，无法读取。"_s;
        return outcome;
    };

    QByteArray bytes;
    QString main = u"word/document.xml"_s;
    if (part(u"_rels/.rels"_s, &bytes) == Archive::Outcome::Read) {
        for (const Relationship& rel : readRelationships(bytes, QString())) {
            if (rel.type.endsWith(u"/officeDocument"_s))
                main = rel.part;
        }
    } else if (!error->isEmpty()) {
        return std::nullopt;
    }
    QByteArray document;
    switch (part(main, &document)) {
    case Archive::Outcome::Read:
        break;
    case Archive::Outcome::Missing:
        *error = u"这个文件不是Word文档（.docx）：其中没有正文。"_s;
        return std::nullopt;
    default:
        return std::nullopt;
    }

    const QString folder = folderOf(main);
    QHash<QString, Relationship> relationships;
    const QString relsName = folder + u"_rels/"_s + main.mid(folder.size()) + u".rels"_s;
    if (part(relsName, &bytes) == Archive::Outcome::Read)
        relationships = readRelationships(bytes, folder);
    else if (!error->isEmpty())
        return std::nullopt;

    ListNumbering numbering;
    for (const Relationship& rel : relationships) {
        const bool isNumbering = rel.type.endsWith(u"/numbering"_s);
        const bool isStyles = rel.type.endsWith(u"/styles"_s);
        if (!isNumbering && !isStyles)
            continue;
        if (part(rel.part, &bytes) != Archive::Outcome::Read) {
            if (!error->isEmpty())
                return std::nullopt;
            continue;
        }
        if (isNumbering)
            numbering.readNumbering(bytes);
        else
            numbering.readStyles(bytes);
    }
    bytes.clear();

    PaperSource out;
    DocumentWalker walker(archive, relationships, numbering, out);
    if (!walker.walk(document, error))
        return std::nullopt;
    return out;
}

} // namespace helan
