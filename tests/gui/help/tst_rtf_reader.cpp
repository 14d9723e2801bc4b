// The RTF reader: formatting, tables, characters, skipped destinations, the shipped help text, and
// broken or hostile input.
#include "gui/help/rtf_reader.h"
#include "support/test_main.h"

#include "support/test_env.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

#include <memory>

using namespace tally;
using tally::test::shippedHelp;

namespace {

std::unique_ptr<QTextDocument> read(const QByteArray& rtf) {
    auto doc = std::make_unique<QTextDocument>();
    readRtf(rtf, doc.get());
    return doc;
}

// The text of all blocks joined by "\n", line separators kept as U+2028.
QString text(const QTextDocument& doc) {
    QStringList blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        blocks << b.text();
    return blocks.join(QLatin1Char('\n'));
}

// The character format of the first character of `needle` in the document.
QTextCharFormat formatOf(const QTextDocument& doc, const QString& needle) {
    const QTextCursor found = doc.find(needle);
    if (found.isNull()) {
        qWarning("not found: %s", qPrintable(needle));
        return QTextCharFormat();
    }
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

QTextBlockFormat blockOf(const QTextDocument& doc, const QString& needle) {
    return doc.find(needle).block().blockFormat();
}

} // namespace

class TestRtfReader : public QObject {
    Q_OBJECT

private slots:
    // The shipped help reads as RTF and names every shipped preset, its keys and the shortcuts.
    void shippedHelpNamesThePresets_data() {
        QTest::addColumn<QString>("text");
        for (const char* text :
             {"moz", "majestic", "ahrefs", "semrush", "dataforseo", "openpagerank",
              "bing-webmaster", "moz-secret-key", "dataforseo-password", "engines.ini",
              "Preset=majestic", "Tools \u2013 Sources...", "F5", "Esc", "Ctrl+X", "[Keys]"})
            QTest::newRow(text) << QString::fromUtf8(text);
    }
    void shippedHelpNamesThePresets() {
        QFETCH(QString, text);
        QVERIFY(looksLikeRtf(shippedHelp()));
        QTextDocument document;
        readRtf(shippedHelp(), &document);
        QVERIFY2(document.toPlainText().contains(text), qPrintable(text));
    }

    void recognisesRtf() {
        QVERIFY(looksLikeRtf("{\\rtf1 x}"));
        QVERIFY(looksLikeRtf("\r\n  {\\rtf1\\ansi x}"));
        QVERIFY(looksLikeRtf("\xEF\xBB\xBF{\\rtf1 x}"));
        QVERIFY(!looksLikeRtf("Plain help"));
        QVERIFY(!looksLikeRtf("{\\rt"));
        QVERIFY(!looksLikeRtf(QByteArray()));
    }

    void groupsScopeCharacterFormatting() {
        const auto doc = read("{\\rtf1 plain {\\b bold {\\i both}} after \\ul under\\ul0  "
                              "\\strike gone\\strike0  {\\b0 x}}");
        QCOMPARE(text(*doc), QStringLiteral("plain bold both after under gone x"));
        QCOMPARE(formatOf(*doc, "plain").fontWeight(), int(QFont::Normal));
        QCOMPARE(formatOf(*doc, "bold").fontWeight(), int(QFont::Bold));
        QVERIFY(!formatOf(*doc, "bold").fontItalic());
        QVERIFY(formatOf(*doc, "both").fontItalic());
        QCOMPARE(formatOf(*doc, "both").fontWeight(), int(QFont::Bold));
        QCOMPARE(formatOf(*doc, "after").fontWeight(), int(QFont::Normal));
        QVERIFY(formatOf(*doc, "under").fontUnderline());
        QVERIFY(!formatOf(*doc, "gone").fontUnderline());
        QVERIFY(formatOf(*doc, "gone").fontStrikeOut());
        QVERIFY(!formatOf(*doc, "x").fontStrikeOut());
    }

    void plainResetsCharacterFormatting() {
        const auto doc =
            read("{\\rtf1\\b\\i\\fs40 big {\\caps upper} {\\scaps lower}\\plain  small}");
        QCOMPARE(formatOf(*doc, "big").fontPointSize(), 20.0);
        QVERIFY(formatOf(*doc, "big").fontItalic());
        QCOMPARE(formatOf(*doc, "big").fontCapitalization(), QFont::MixedCase);
        QCOMPARE(formatOf(*doc, "upper").fontCapitalization(), QFont::AllUppercase);
        QCOMPARE(formatOf(*doc, "lower").fontCapitalization(), QFont::SmallCaps);
        QCOMPARE(formatOf(*doc, "small").fontCapitalization(), QFont::MixedCase);
        QCOMPARE(formatOf(*doc, "small").fontPointSize(), 12.0);
        QCOMPARE(formatOf(*doc, "small").fontWeight(), int(QFont::Normal));
        QVERIFY(!formatOf(*doc, "small").fontItalic());
    }

    void paragraphsLinesAndTabs() {
        const auto doc = read("{\\rtf1 one\\par two\\line three\\tab four\\par\r\nfive\\par}");
        QCOMPARE(text(*doc), QStringLiteral("one\ntwo") + QChar::LineSeparator +
                                 QStringLiteral("three\tfour\nfive"));
        // The paragraph mark of the last paragraph leaves no empty block behind.
        QCOMPARE(doc->blockCount(), 3);
        // Line ends in the file are not text.
        const auto wrapped = read("{\\rtf1 split\r\nword\nhere}");
        QCOMPARE(text(*wrapped), QStringLiteral("splitwordhere"));
    }

    void fontSizesAndFonts() {
        const auto doc = read("{\\rtf1\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern "
                              "Courier New;}}\\fs24 normal \\fs36 large {\\f1 code}\\fs0  kept}");
        QCOMPARE(text(*doc), QStringLiteral("normal large code kept"));
        QCOMPARE(formatOf(*doc, "normal").fontPointSize(), 12.0);
        QCOMPARE(formatOf(*doc, "large").fontPointSize(), 18.0);
        QCOMPARE(formatOf(*doc, "code").fontFamilies().toStringList(),
                 QStringList{QStringLiteral("Courier New")});
        QCOMPARE(formatOf(*doc, "code").fontStyleHint(), QFont::Monospace);
        QCOMPARE(formatOf(*doc, "normal").fontFamilies().toStringList(),
                 QStringList{QStringLiteral("Arial")});
        // \fs0 is no size: the last one stays.
        QCOMPARE(formatOf(*doc, "kept").fontPointSize(), 18.0);
        QCOMPARE(doc->defaultFont().family(), QStringLiteral("Arial"));
    }

    void colourTable() {
        const auto doc = read("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                              "auto \\cf1 red \\cf2 blue \\cf0 back \\cf9 none "
                              "\\cf1\\highlight2 marked}");
        QVERIFY(!formatOf(*doc, "auto").hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(formatOf(*doc, "red").foreground().color(), QColor(255, 0, 0));
        QCOMPARE(formatOf(*doc, "blue").foreground().color(), QColor(0, 0, 255));
        // Entry 0 is "auto"; an index past the table is the default colour.
        QVERIFY(!formatOf(*doc, "back").hasProperty(QTextFormat::ForegroundBrush));
        QVERIFY(!formatOf(*doc, "none").hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(formatOf(*doc, "marked").background().color(), QColor(0, 0, 255));
        QCOMPARE(text(*doc), QStringLiteral("auto red blue back none marked"));
    }

    void hexCharactersInTheCodePage() {
        const auto doc = read("{\\rtf1\\ansi\\ansicpg1252 caf\\'e9 \\'93quoted\\'94 \\'80 "
                              "\\'8d\\'zz!}");
        // \'8d is undefined in Windows-1252 and gives nothing; \'zz is no escape at all.
        QCOMPARE(text(*doc), QString::fromUtf8("café “quoted” € zz!"));
    }

    void otherCodePages() {
        // Windows-1251 (Cyrillic) when the platform's converter knows it, else Windows-1252.
        const auto doc = read("{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}");
        const QString t = text(*doc);
        QVERIFY2(t == QString::fromUtf8("При") || t == QString::fromUtf8("Ïðè"), qPrintable(t));
        const auto utf8 = read("{\\rtf1\\ansi\\ansicpg65001 \\'e2\\'82\\'ac}");
        QCOMPARE(text(*utf8), QString::fromUtf8("€"));
    }

    // What writers of real files do, one snippet each.
    void producerQuirks_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("expected");
        // Character sets of the fonts win over the document's code page.
        QTest::newRow("wordpad czech font")
            << QByteArray(
                   "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}"
                   "\\f0 \\'c8l\\'e1nek\\par}")
            << QString::fromUtf8("Článek");
        QTest::newRow("wordpad japanese, western font")
            << QByteArray(
                   "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}"
                   "{\\f1\\fswiss\\fcharset0 Arial;}}\\f0 \\'93\\'fa{\\f1 \\'a9}}")
            << QString::fromUtf8("日©");
        QTest::newRow("font code page")
            << QByteArray(
                   "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\cpg1251 Arial;}}\\f0 \\'cf\\'f0\\'e8}")
            << QString::fromUtf8("При");
        // Second bytes of Shift-JIS raw after an escaped first byte, even "\", "{" and "}";
        // escaped, as Word writes them; no document code page.
        QTest::newRow("shift-jis raw second bytes")
            << QByteArray(
                   "{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 Mincho;}}"
                   "\\f0 \\'83\\\\par \\'96{\\'83}\\'95\\'5c\\'b1\\par}")
            << QString::fromUtf8("ソ\n本マ表ｱ");
        // A first byte that no second byte follows stands alone (Shift-JIS has no character for
        // it), and the control word after it is read as one: never "暴tab".
        QTest::newRow("shift-jis first byte before a control word")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}}"
                          "\\f0 A\\'96\\tab B\\'83\\par C}")
            << QStringLiteral("A\tB\nC");
        QTest::newRow("shift-jis first byte before an escape that cannot follow it")
            << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}}"
                          "\\f0 A\\'96\\'20B}")
            << QStringLiteral("A B");
        QTest::newRow("gbk first byte before a control word")
            << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'d6\\tab\\'d6\\'d0}")
            << QString::fromUtf8("\t中");
        QTest::newRow("gbk") << QByteArray("{\\rtf1\\ansi\\ansicpg936 \\'d6\\'d0\\'ce\\'c4}")
                             << QString::fromUtf8("中文");
        // A fallback of two bytes after \uN is one character to skip.
        QTest::newRow("double-byte fallback")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932\\uc1 \\u26085\\'93\\'fa!}")
            << QString::fromUtf8("日!");
        QTest::newRow("mac japanese") << QByteArray("{\\rtf1\\mac\\ansicpg10001 \\'93\\'fa\\'fd}")
                                      << QString::fromUtf8("日©");
        QTest::newRow("mac roman") << QByteArray("{\\rtf1\\mac \\'8e\\'a5\\'d2x\\'d3\\'db}")
                                   << QString::fromUtf8("é•“x”€");
        QTest::newRow("utf-8 byte-order mark")
            << QByteArray("\xEF\xBB\xBF{\\rtf1 text}") << QStringLiteral("text");
        // Word: the fallback text of a nested table is not shown beside the table.
        QTest::newRow("nested table")
            << QByteArray(
                   "{\\rtf1 a\\nestcell b\\nestcell{\\*\\nesttableprops\\trowd\\cellx100\\nestrow}"
                   "{\\nonesttables\\par a\\tab b\\par}\\cell\\row}")
            << QStringLiteral("a\tb\t\t");
        QTest::newRow("footnote marks")
            << QByteArray("{\\rtf1 One{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} first} and "
                          "two{\\super\\chftn{\\footnote{\\super\\chftn} second}}.}")
            << QStringLiteral("One1 and two2.");
        QTest::newRow("symbol field, empty result")
            << QByteArray("{\\rtf1 x{\\field{\\*\\fldinst {SYMBOL 169 \\\\f \"Symbol\" \\\\s "
                          "10}}{\\fldrslt }}y}")
            << QString::fromUtf8("x♥y");
        QTest::newRow("symbol field, shown result")
            << QByteArray(
                   "{\\rtf1{\\fonttbl{\\f3\\ftech\\fcharset2 Symbol;}}"
                   "{\\field{\\*\\fldinst SYMBOL 183 \\\\f \"Symbol\"}{\\fldrslt\\f3 \\'b7}}}")
            << QString::fromUtf8("•");
        QTest::newRow("symbol fields, other fonts")
            << QByteArray("{\\rtf1{\\field{\\fldinst SYMBOL 0x20AC \\\\u}}{\\field{\\*\\fldinst "
                          "SYMBOL 233}"
                          "{\\fldrslt}}{\\field{\\*\\fldinst SYMBOL 12354 \\\\f \"MS Gothic\"}}}")
            << QString::fromUtf8("€éあ");
        QTest::newRow("symbol font, private-use")
            << QByteArray("{\\rtf1{\\fonttbl{\\f1\\fnil\\fcharset2 Symbol;}}{\\f1\\u-3913?\\'61}}")
            << QString::fromUtf8("•α");
        QTest::newRow("textedit attachment")
            << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\cocoartf2639 before {{\\NeXTGraphic Pasted "
                          "Graphic.png "
                          "\\width2000 \\height1000 \\appleattachmentpadding0\n}\\'ac}after\\'ac}")
            << QString::fromUtf8("before after¬");
    }

    void producerQuirks() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, expected);
        QCOMPARE(text(*read(rtf)), expected);
    }

    void unicodeCharactersAndFallbacks() {
        // \uN with its fallback of \uc characters (default 1), a negative N, \uc0 and \uc2, and a
        // surrogate pair.
        const auto doc = read("{\\rtf1 a\\u8364?b \\u-3?c {\\uc0\\u233 d} {\\uc2\\u8212\\'97\\'97e}"
                              " \\u-10179?\\u-8704?f \\u-10179?g}");
        const QString expected = QStringLiteral("a") + QChar(0x20AC) + QStringLiteral("b ") +
                                 QChar(0xFFFD) + QStringLiteral("c ") + QChar(0xE9) +
                                 QStringLiteral("d ") + QChar(0x2014) + QStringLiteral("e ") +
                                 QString::fromUcs4(U"\U0001F600") + QStringLiteral("f ") +
                                 QChar(0xFFFD) + QStringLiteral("g");
        QCOMPARE(text(*doc), expected);
    }

    void specialCharacters() {
        // The blank after a control word ends it and is not text.
        const auto doc = read("{\\rtf1 \\{x\\} a\\\\b \\bullet\\tab  \\emdash\\endash "
                              "\\lquote\\rquote\\ldblquote\\rdblquote  nb\\~sp op\\-tional}");
        QCOMPARE(text(*doc), QString::fromUtf8("{x} a\\b •\t —–‘’“” nb\u00A0sp optional"));
    }

    void skippedDestinations() {
        const auto doc =
            read("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}}"
                 "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Secret title}{\\author Someone}}"
                 "{\\*\\generator Writer 1.0;}{\\*\\unknowndest hidden text}"
                 "{\\header header text\\par}"
                 "{\\pict\\pngblip 89504e470d0a1a0a}"
                 "{\\field{\\*\\fldinst HYPERLINK \"http://x\"}{\\fldrslt shown link}}"
                 " body \\v invisible\\v0 seen}");
        QCOMPARE(text(*doc), QStringLiteral("shown link body seen"));
    }

    void binaryDataIsSkipped() {
        QByteArray rtf("{\\rtf1 before{\\*\\blob\\bin6 ");
        rtf.append(QByteArray("}{\\x\0\xff", 6));
        rtf.append("} after\\bin3 abc!}");
        const auto doc = read(rtf);
        QCOMPARE(text(*doc), QStringLiteral("before after!"));
    }

    void unknownControlWordsAreIgnored() {
        const auto doc = read("{\\rtf1\\viewkind4\\noproof\\lang1033 keep \\foo123 this "
                              "\\averyveryverylongcontrolwordthatgoesonandonandon99 text}");
        QCOMPARE(text(*doc), QStringLiteral("keep this text"));
    }

    void paragraphFormatting() {
        const auto doc = read("{\\rtf1\\pard\\qc centred\\par right {\\qr}\\qr side\\par"
                              "\\pard\\qj\\li720\\ri360\\sb240\\sa120 block\\par"
                              "\\pard plain again\\par}");
        QCOMPARE(blockOf(*doc, "centred").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        // Properties set anywhere in a paragraph apply to all of it.
        QCOMPARE(blockOf(*doc, "right side").alignment() & Qt::AlignHorizontal_Mask,
                 Qt::AlignRight);
        const QTextBlockFormat block = blockOf(*doc, "block");
        QCOMPARE(block.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QCOMPARE(block.leftMargin(), 48.0);
        QCOMPARE(block.rightMargin(), 24.0);
        QCOMPARE(block.topMargin(), 16.0);
        QCOMPARE(block.bottomMargin(), 8.0);
        const QTextBlockFormat plain = blockOf(*doc, "plain again");
        QCOMPARE(plain.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(plain.leftMargin(), 0.0);
    }

    void bulletsAsPlainText() {
        // Word-style lists carry their bullets as text in \pntext or \listtext; the list
        // definitions themselves are skipped.
        const auto doc =
            read("{\\rtf1{\\*\\listtable{\\list\\listid1{\\listlevel\\leveltext\\'01\\u8226 ?;}}}"
                 "{\\pntext\\f0\\bullet\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\bullet}}"
                 "\\pard\\li360\\fi-360 first\\par"
                 "{\\listtext 2.\\tab}second\\par}");
        QCOMPARE(text(*doc), QString::fromUtf8("•\tfirst\n2.\tsecond"));
        const QTextBlockFormat hanging = blockOf(*doc, "first");
        QCOMPARE(hanging.leftMargin(), 24.0);
        QCOMPARE(hanging.textIndent(), -24.0);
        // A hanging indent gets a tab stop at the indent, so the text lines up.
        QCOMPARE(hanging.tabPositions().size(), 1);
        QCOMPARE(hanging.tabPositions().first().position, 24.0);
    }

    void tablesAsTabbedLines() {
        const auto doc = read("{\\rtf1\\trowd\\cellx1000\\cellx2000 a\\cell b\\cell\\row "
                              "c\\cell d\\cell\\row}");
        QCOMPARE(text(*doc), QStringLiteral("a\tb\t\nc\td\t"));
    }

    void malformedInput() {
        // Unbalanced braces, truncation inside a control word, a hex escape and a \u, a dangling
        // backslash, a lone high surrogate at the end: all read without failing.
        const QList<QByteArray> inputs = {
            "}}}}{\\rtf1 text}}}",
            "{\\rtf1 unterminated {\\b bold",
            "{\\rtf1 cut\\fs",
            "{\\rtf1 cut\\'4",
            "{\\rtf1 cut\\u-",
            "{\\rtf1 cut\\",
            "{\\rtf1 \\u55357",
            "{\\rtf1 \\bin999999999 x}",
            "{\\rtf1 \\bin-5 x}",
            "{\\rtf1 \\fs99999999999999999999 big \\li-99999999999 x\\par}",
            "{\\rtf1 {\\colortbl\\red999\\green-4\\blue;}\\cf1 x \\cf-1 y \\cf2147483647 z}",
            "{\\rtf1 \\uc-5\\u65\\uc99999\\u66 tail}",
            "{\\rtf1 {\\fonttbl{\\f1 never ended",
            QByteArray("{\\rtf1 nul\0byte}", 16),
            "",
            "{",
            "\\",
        };
        for (const QByteArray& input : inputs) {
            const auto doc = read(input);
            QVERIFY(doc->blockCount() >= 1);
        }
        QCOMPARE(text(*read("}}}}{\\rtf1 text}}}")), QStringLiteral("text"));
        QCOMPARE(text(*read("{\\rtf1 unterminated {\\b bold")),
                 QStringLiteral("unterminated bold"));
        QCOMPARE(text(*read("{\\rtf1 \\u55357")), QString(QChar(0xFFFD)));
        QCOMPARE(text(*read(QByteArray("{\\rtf1 nul\0byte}", 16))), QStringLiteral("nulbyte"));
    }

    void deepNesting() {
        // Far deeper than any real file; the reader neither recurses nor fails.
        QByteArray rtf("{\\rtf1 ");
        rtf.append(QByteArray(100000, '{'));
        rtf.append("\\b deep");
        rtf.append(QByteArray(100000, '}'));
        rtf.append(" out}");
        const auto doc = read(rtf);
        QCOMPARE(text(*doc), QStringLiteral("deep out"));
        QCOMPARE(formatOf(*doc, "out").fontWeight(), int(QFont::Normal));
    }

    void fuzzRandomBytes() {
        QRandomGenerator random(20260807);
        for (int round = 0; round < 300; ++round) {
            QByteArray data(int(random.bounded(1, 2000)), Qt::Uninitialized);
            for (char& c : data)
                c = char(random.bounded(256));
            if (round % 2)
                data.prepend("{\\rtf1 ");
            const auto doc = read(data);
            QVERIFY(doc->characterCount() >= 1);
        }
    }

    void fuzzRtfTokens() {
        // Random sequences of the pieces real files are made of.
        static const char* const pieces[] = {
            "{",         "}",        "\\par ",    "\\b ",         "\\b0 ",       "\\i",
            "\\ul ",     "\\fs",     "\\cf",      "\\u",          "\\uc",        "\\'",
            "\\'e9",     "\\*",      "\\fonttbl", "\\colortbl",   "\\red",       ";",
            "\\bin",     "\\pard",   "\\li",      "\\fi-",        "\\tx",        "\\tab",
            "\\line",    "\\pntext", "\\v",       "\\f",          "text ",       "9",
            "-",         "\\\\",     "\\{",       "\\}",          "\\~",         "\r\n",
            "\\ansicpg", "65001",    "1251",      "\\plain",      "\\highlight", "\\qc",
            "\\cell",    "\\row",    "\\sb",      "\\stylesheet", "\\info"};
        QRandomGenerator random(7);
        for (int round = 0; round < 400; ++round) {
            QByteArray data("{\\rtf1");
            const int count = int(random.bounded(1, 300));
            for (int i = 0; i < count; ++i)
                data.append(pieces[random.bounded(int(std::size(pieces)))]);
            const auto doc = read(data);
            QVERIFY(doc->characterCount() >= 1);
        }
    }

    void truncatedAndMutatedHelpText() {
        const QByteArray help = shippedHelp();
        QVERIFY(help.size() > 1000);
        for (qsizetype cut = 0; cut < help.size(); cut += 97) {
            const auto doc = read(help.left(cut));
            QVERIFY(doc->characterCount() >= 1);
        }
        QRandomGenerator random(11);
        for (int round = 0; round < 100; ++round) {
            QByteArray data = help;
            for (int flips = 0; flips < 20; ++flips)
                data[random.bounded(int(data.size()))] = char(random.bounded(256));
            const auto doc = read(data);
            QVERIFY(doc->characterCount() >= 1);
        }
    }

    void shippedHelpText() {
        const QByteArray help = shippedHelp();
        QVERIFY(looksLikeRtf(help));
        const auto doc = read(help);
        const QString t = text(*doc);
        // Nothing of the markup or the tables shows through.
        QVERIFY2(!t.contains(QLatin1Char('\\')), qPrintable(t.left(200)));
        QVERIFY(!t.contains(QLatin1Char('{')));
        QVERIFY(!t.contains(QLatin1Char('}')));
        QVERIFY(!t.contains(QStringLiteral("Verdana")));
        QVERIFY(!t.contains(QStringLiteral("generator")));
        QVERIFY(!t.contains(QChar::ReplacementCharacter));
        // It covers the program's parts.
        for (const char* topic :
             {"Tallyscope Help", "The URL list", "Scanning", "The results table and profiles",
              "Saving and loading history", "Charts and printing", "The web view", "Options",
              "Where your files live", "Keyboard shortcuts", "Show at Startup", "settings.ini",
              "Help.rtf"})
            QVERIFY2(t.contains(QLatin1String(topic)), topic);
        // The title is large and bold, headings are bold and coloured, body text is plain.
        const QTextCharFormat title = formatOf(*doc, "Tallyscope Help");
        QCOMPARE(title.fontWeight(), int(QFont::Bold));
        QCOMPARE(title.fontPointSize(), 20.0);
        const QTextCharFormat heading = formatOf(*doc, "Where your files live");
        QCOMPARE(heading.fontWeight(), int(QFont::Bold));
        QVERIFY(heading.foreground().color() != QColor(Qt::black));
        const QTextCharFormat body = formatOf(*doc, "For every web site");
        QCOMPARE(body.fontWeight(), int(QFont::Normal));
        QCOMPARE(body.fontPointSize(), 10.0);
        // Bullets come out as text with a hanging indent; file names in a fixed-pitch font.
        QVERIFY(t.contains(QString::fromUtf8("•\t")));
        QCOMPARE(formatOf(*doc, "settings.ini").fontStyleHint(), QFont::Monospace);
        QVERIFY(t.contains(QString::fromUtf8("©")));
    }

    void plainTextFallback() {
        QTextDocument utf8;
        readPlainText(QByteArray("caf\xc3\xa9\r\nline two"), &utf8);
        QCOMPARE(utf8.toPlainText(), QString::fromUtf8("café\nline two"));
        QTextDocument ansi;
        readPlainText(QByteArray("caf\xe9 \x93q\x94"), &ansi);
        QCOMPARE(ansi.toPlainText(), QString::fromUtf8("café “q”"));
        // A byte-order mark is no text, whether or not the rest is valid UTF-8.
        readPlainText(QByteArray("\xEF\xBB\xBF"
                                 "caf\xc3\xa9"),
                      &utf8);
        QCOMPARE(utf8.toPlainText(), QString::fromUtf8("café"));
        readPlainText(QByteArray("\xEF\xBB\xBF"
                                 "caf\xe9"),
                      &ansi);
        QCOMPARE(ansi.toPlainText(), QString::fromUtf8("café"));
    }
};

TALLY_TEST_MAIN(TestRtfReader)
#include "tst_rtf_reader.moc"
