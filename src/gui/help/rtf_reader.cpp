#include "gui/help/rtf_reader.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <optional>
#include <string_view>

namespace tally {

namespace {

// Windows-1252 for the bytes 0x80..0x9F; 0 where the code page leaves a byte undefined.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char16_t cp1252(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kCp1252High[byte - 0x80];
    return byte;
}

// Limits that keep hostile input from costing much: nesting deeper than this is read as flat text,
// and tables stop growing at these sizes.
constexpr int kMaxDepth = 200;
constexpr int kMaxTableEntries = 4096;
constexpr int kMaxTabStops = 64;
constexpr int kMaxFontName = 256;
constexpr int kMaxTwips = 31680; // 22 inches
constexpr double kTwipsPerPixel = 15.0;

enum class Dest { Text, Skip, FontTable, ColourTable };

struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int sizeHalfPoints = 24;
    int font = -1; // -1: the document's default font
    int colour = 0;
    int background = -1; // -1: none
    int vertical = 0;    // >0 superscript, <0 subscript
};

struct ParaProps {
    Qt::Alignment align = Qt::AlignLeft;
    int left = 0;
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    QList<int> tabs;
};

struct State {
    Dest dest = Dest::Text;
    CharProps chr;
    ParaProps para;
    int uc = 1;
};

struct FontEntry {
    QString name;
    QFont::StyleHint hint = QFont::AnyStyle;
};

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int clampTwips(int value) {
    return std::clamp(value, -kMaxTwips, kMaxTwips);
}

// Destinations whose content is not part of the shown text.
bool isSkippedDestination(std::string_view word) {
    static constexpr std::string_view skipped[] = {"stylesheet",
                                                   "info",
                                                   "pict",
                                                   "object",
                                                   "objdata",
                                                   "header",
                                                   "headerl",
                                                   "headerr",
                                                   "headerf",
                                                   "footer",
                                                   "footerl",
                                                   "footerr",
                                                   "footerf",
                                                   "footnote",
                                                   "annotation",
                                                   "listtable",
                                                   "listoverridetable",
                                                   "revtbl",
                                                   "rsidtbl",
                                                   "xmlnstbl",
                                                   "generator",
                                                   "mmathPr",
                                                   "themedata",
                                                   "colorschememapping",
                                                   "latentstyles",
                                                   "datastore",
                                                   "fldinst",
                                                   "pn",
                                                   "filetbl",
                                                   "template",
                                                   "nonshppict",
                                                   "shp",
                                                   "shpinst",
                                                   "private",
                                                   "bkmkstart",
                                                   "bkmkend",
                                                   "atnid",
                                                   "atnauthor",
                                                   "atndate",
                                                   "atnref",
                                                   "txe",
                                                   "xe",
                                                   "tc",
                                                   "userprops",
                                                   "docvar",
                                                   "fchars",
                                                   "lchars",
                                                   "pgdsctbl",
                                                   "protusertbl",
                                                   "wgrffmtfilter",
                                                   "mhtmltag",
                                                   "htmltag",
                                                   "background",
                                                   "macpict",
                                                   "wmetafile",
                                                   "dibitmap",
                                                   "wbitmap",
                                                   "blipuid"};
    return std::find(std::begin(skipped), std::end(skipped), word) != std::end(skipped);
}

class RtfReader {
public:
    RtfReader(const QByteArray& data, QTextDocument* document)
        : p_(data.constData()), end_(data.constData() + data.size()), doc_(document),
          cursor_(document) {}

    void run() {
        doc_->clear();
        cursor_ = QTextCursor(doc_);
        while (p_ < end_) {
            const char c = *p_++;
            switch (c) {
            case '{':
                openGroup();
                break;
            case '}':
                closeGroup();
                break;
            case '\\':
                control();
                break;
            case '\r':
            case '\n':
            case '\0':
                break;
            default:
                textByte(static_cast<unsigned char>(c));
                break;
            }
        }
        finish();
    }

private:
    // ---- input --------------------------------------------------------------------------------

    void openGroup() {
        flushPendingHigh();
        skipChars_ = 0;
        if (stack_.size() >= kMaxDepth) {
            ++overflowDepth_;
            return;
        }
        stack_.append(st_);
    }

    void closeGroup() {
        flushPendingHigh();
        skipChars_ = 0;
        if (overflowDepth_ > 0) {
            --overflowDepth_;
            return;
        }
        if (st_.dest == Dest::FontTable)
            finishFontEntry();
        if (stack_.isEmpty())
            return; // an unbalanced closing brace: ignored
        st_ = stack_.takeLast();
        formatDirty_ = true;
    }

    void control() {
        if (p_ >= end_)
            return;
        const char c = *p_;
        if (isLetter(c)) {
            const char* start = p_;
            while (p_ < end_ && isLetter(*p_))
                ++p_;
            // Control words are at most 32 letters long; longer runs are read and not understood.
            const std::string_view word(start,
                                        static_cast<size_t>(std::min<ptrdiff_t>(p_ - start, 32)));
            bool negative = false;
            bool hasParam = false;
            long long value = 0;
            if (p_ < end_ && *p_ == '-' && p_ + 1 < end_ && isDigit(p_[1])) {
                negative = true;
                ++p_;
            }
            int digits = 0;
            while (p_ < end_ && isDigit(*p_)) {
                hasParam = true;
                if (digits++ < 10)
                    value = value * 10 + (*p_ - '0');
                ++p_;
            }
            if (p_ < end_ && *p_ == ' ')
                ++p_;
            value = std::clamp<long long>(negative ? -value : value, -2147483647LL, 2147483647LL);
            controlWord(word, hasParam, static_cast<int>(value));
            return;
        }
        ++p_;
        switch (c) {
        case '\'': {
            if (end_ - p_ < 2)
                return;
            const int high = hexValue(p_[0]);
            const int low = hexValue(p_[1]);
            if (high < 0 || low < 0)
                return;
            p_ += 2;
            textByte(static_cast<unsigned char>(high * 16 + low), true);
            return;
        }
        case '*':
            if (st_.dest == Dest::Text)
                st_.dest = Dest::Skip;
            else if (st_.dest == Dest::FontTable || st_.dest == Dest::ColourTable)
                st_.dest = Dest::Skip; // \*\panose, \*\falt ... inside the tables
            return;
        case '{':
        case '}':
        case '\\':
            textChar(QChar::fromLatin1(c));
            return;
        case '~':
            textChar(QChar(0x00A0));
            return;
        case '_':
            textChar(QChar(0x2011));
            return;
        case '\r':
        case '\n':
            if (st_.dest == Dest::Text)
                paragraph();
            return;
        default: // \- (optional hyphen), \:, \| and anything unknown
            return;
        }
    }

    void controlWord(std::string_view word, bool hasParam, int param) {
        if (word == "bin") {
            // Binary data of `param` bytes follows; never shown.
            const qsizetype count = std::clamp<qsizetype>(hasParam ? param : 0, 0, end_ - p_);
            p_ += count;
            return;
        }
        if (st_.dest == Dest::Skip)
            return;
        if (word != "u")
            endFallback();
        if (st_.dest == Dest::FontTable) {
            fontTableWord(word, hasParam, param);
            return;
        }
        if (st_.dest == Dest::ColourTable) {
            const int component = std::clamp(param, 0, 255);
            if (word == "red")
                red_ = component;
            else if (word == "green")
                green_ = component;
            else if (word == "blue")
                blue_ = component;
            return;
        }

        CharProps& chr = st_.chr;
        ParaProps& para = st_.para;
        const bool on = !hasParam || param != 0;

        // Destinations.
        if (word == "fonttbl") {
            st_.dest = Dest::FontTable;
            fontIndex_ = -1;
            fontName_.clear();
            return;
        }
        if (word == "colortbl") {
            st_.dest = Dest::ColourTable;
            red_ = green_ = blue_ = -1;
            return;
        }
        if (isSkippedDestination(word)) {
            st_.dest = Dest::Skip;
            return;
        }

        // Document.
        if (word == "ansicpg") {
            setCodePage(param);
        } else if (word == "pc") {
            setCodePage(437);
        } else if (word == "pca") {
            setCodePage(850);
        } else if (word == "deff") {
            defaultFont_ = param;
        } else if (word == "uc") {
            st_.uc = std::clamp(param, 0, 16);
        } else if (word == "u") {
            unicodeChar(param);
        }
        // Breaks and special characters.
        else if (word == "par" || word == "sect" || word == "page" || word == "row" ||
                 word == "nestrow") {
            paragraph();
        } else if (word == "line") {
            textChar(QChar::LineSeparator);
        } else if (word == "tab" || word == "cell" || word == "nestcell") {
            textChar(QLatin1Char('\t'));
        } else if (word == "bullet") {
            textChar(QChar(0x2022));
        } else if (word == "emdash") {
            textChar(QChar(0x2014));
        } else if (word == "endash") {
            textChar(QChar(0x2013));
        } else if (word == "emspace") {
            textChar(QChar(0x2003));
        } else if (word == "enspace") {
            textChar(QChar(0x2002));
        } else if (word == "qmspace") {
            textChar(QChar(0x2005));
        } else if (word == "lquote") {
            textChar(QChar(0x2018));
        } else if (word == "rquote") {
            textChar(QChar(0x2019));
        } else if (word == "ldblquote") {
            textChar(QChar(0x201C));
        } else if (word == "rdblquote") {
            textChar(QChar(0x201D));
        }
        // Character formatting.
        else if (word == "plain") {
            const int keepFont = defaultFont_;
            chr = CharProps();
            chr.font = keepFont;
            formatDirty_ = true;
        } else if (word == "b") {
            setChar(chr.bold, on);
        } else if (word == "i") {
            setChar(chr.italic, on);
        } else if (word == "ul" || word == "uld" || word == "uldb" || word == "ulw" ||
                   word == "ulwave" || word == "ulth" || word == "uldash") {
            setChar(chr.underline, on);
        } else if (word == "ulnone") {
            setChar(chr.underline, false);
        } else if (word == "strike" || word == "striked") {
            setChar(chr.strike, on);
        } else if (word == "v") {
            chr.hidden = on;
        } else if (word == "fs") {
            if (hasParam && param > 0) {
                chr.sizeHalfPoints = std::min(param, 3276);
                formatDirty_ = true;
            }
        } else if (word == "f") {
            chr.font = param;
            formatDirty_ = true;
        } else if (word == "cf") {
            chr.colour = param;
            formatDirty_ = true;
        } else if (word == "cb" || word == "highlight") {
            chr.background = param;
            formatDirty_ = true;
        } else if (word == "super" || word == "up") {
            chr.vertical = (word == "up" && hasParam && param == 0) ? 0 : 1;
            formatDirty_ = true;
        } else if (word == "sub" || word == "dn") {
            chr.vertical = (word == "dn" && hasParam && param == 0) ? 0 : -1;
            formatDirty_ = true;
        } else if (word == "nosupersub") {
            chr.vertical = 0;
            formatDirty_ = true;
        }
        // Paragraph formatting.
        else if (word == "pard") {
            para = ParaProps();
        } else if (word == "ql") {
            para.align = Qt::AlignLeft;
        } else if (word == "qr") {
            para.align = Qt::AlignRight;
        } else if (word == "qc") {
            para.align = Qt::AlignHCenter;
        } else if (word == "qj") {
            para.align = Qt::AlignJustify;
        } else if (word == "li") {
            para.left = clampTwips(param);
        } else if (word == "ri") {
            para.right = clampTwips(param);
        } else if (word == "fi") {
            para.first = clampTwips(param);
        } else if (word == "sb") {
            para.before = std::max(0, clampTwips(param));
        } else if (word == "sa") {
            para.after = std::max(0, clampTwips(param));
        } else if (word == "tx") {
            if (para.tabs.size() < kMaxTabStops)
                para.tabs.append(clampTwips(param));
        }
        // Everything else: not understood, ignored.
    }

    void fontTableWord(std::string_view word, bool hasParam, int param) {
        if (word == "f") {
            finishFontEntry();
            fontIndex_ = hasParam ? param : -1;
            fontHint_ = QFont::AnyStyle;
        } else if (word == "froman") {
            fontHint_ = QFont::Serif;
        } else if (word == "fswiss") {
            fontHint_ = QFont::SansSerif;
        } else if (word == "fmodern") {
            fontHint_ = QFont::Monospace;
        } else if (word == "fscript") {
            fontHint_ = QFont::Cursive;
        } else if (word == "fdecor") {
            fontHint_ = QFont::Decorative;
        }
    }

    // ---- text ---------------------------------------------------------------------------------

    void textByte(unsigned char byte, bool escaped = false) {
        switch (st_.dest) {
        case Dest::Skip:
            return;
        case Dest::FontTable:
            if (byte == ';')
                finishFontEntry();
            else if (fontName_.size() < kMaxFontName && fontIndex_ >= 0)
                fontName_.append(static_cast<char>(byte));
            return;
        case Dest::ColourTable:
            if (byte == ';' && colours_.size() < kMaxTableEntries) {
                colours_.append(
                    red_ < 0 && green_ < 0 && blue_ < 0
                        ? QColor()
                        : QColor(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
                red_ = green_ = blue_ = -1;
            }
            return;
        case Dest::Text:
            break;
        }
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        flushPendingHigh();
        if (!escaped && byte == '\t') {
            textChar(QLatin1Char('\t'));
            return;
        }
        if (byte < 0x20)
            return;
        if (decoder_) {
            const char raw = static_cast<char>(byte);
            const QString decoded = (*decoder_)(QByteArrayView(&raw, 1));
            for (const QChar ch : decoded)
                appendChar(ch);
            return;
        }
        const char16_t unit = cp1252(byte);
        if (unit != 0)
            appendChar(QChar(unit));
    }

    void unicodeChar(int value) {
        skipChars_ = st_.uc;
        const char16_t unit = static_cast<char16_t>(value < 0 ? value + 65536 : value);
        if (QChar::isHighSurrogate(unit)) {
            flushPendingHigh();
            pendingHigh_ = unit;
            return;
        }
        if (QChar::isLowSurrogate(unit)) {
            if (pendingHigh_ != 0) {
                appendChar(QChar(pendingHigh_));
                appendChar(QChar(unit));
                pendingHigh_ = 0;
            } else {
                appendChar(QChar::ReplacementCharacter);
            }
            return;
        }
        flushPendingHigh();
        if (unit >= 0x20 || unit == '\t')
            appendChar(QChar(unit));
    }

    // A lone high surrogate is shown as a replacement character.
    void flushPendingHigh() {
        if (pendingHigh_ == 0)
            return;
        pendingHigh_ = 0;
        appendChar(QChar::ReplacementCharacter);
    }

    // Any control word other than \'hh ends the fallback text of a \uN character.
    void endFallback() { skipChars_ = 0; }

    void textChar(QChar ch) {
        if (st_.dest != Dest::Text)
            return;
        endFallback();
        flushPendingHigh();
        appendChar(ch);
    }

    void appendChar(QChar ch) {
        if (st_.chr.hidden)
            return;
        if (formatDirty_) {
            const QTextCharFormat format = charFormat(st_.chr);
            if (format != runFormat_) {
                flushRun();
                runFormat_ = format;
            }
            formatDirty_ = false;
        }
        run_.append(ch);
    }

    void flushRun() {
        if (run_.isEmpty())
            return;
        cursor_.insertText(run_, runFormat_);
        run_.clear();
    }

    void paragraph() {
        flushPendingHigh();
        flushRun();
        cursor_.setBlockFormat(blockFormat(st_.para));
        cursor_.insertBlock();
        blocks_++;
    }

    void finish() {
        flushPendingHigh();
        flushRun();
        // The paragraph mark that ends the last paragraph leaves an empty block behind; drop it.
        if (blocks_ > 0 && cursor_.block().length() <= 1)
            cursor_.deletePreviousChar();
        else
            cursor_.setBlockFormat(blockFormat(st_.para));
        QFont base = fontFor(defaultFont_);
        base.setPointSizeF(12.0);
        doc_->setDefaultFont(base);
    }

    // ---- tables and formats -------------------------------------------------------------------

    void finishFontEntry() {
        if (fontIndex_ >= 0 && fonts_.size() < kMaxTableEntries) {
            const QString name = decodeName(fontName_).trimmed();
            fonts_.insert(fontIndex_, FontEntry{name, fontHint_});
        }
        fontIndex_ = -1;
        fontName_.clear();
        fontHint_ = QFont::AnyStyle;
    }

    QString decodeName(const QByteArray& bytes) const {
        QString name;
        for (const char c : bytes) {
            const char16_t unit = cp1252(static_cast<unsigned char>(c));
            if (unit >= 0x20)
                name.append(QChar(unit));
        }
        return name;
    }

    void setCodePage(int codePage) {
        codePage_ = codePage;
        decoder_.reset();
        if (codePage == 1252 || codePage <= 0)
            return;
        QStringDecoder decoder;
        if (codePage == 65001)
            decoder = QStringDecoder(QStringDecoder::Utf8);
        else if (codePage == 437 || codePage == 850)
            decoder = QStringDecoder(QByteArray("IBM" + QByteArray::number(codePage)).constData());
        else if (codePage == 10000)
            decoder = QStringDecoder("macintosh");
        else
            decoder =
                QStringDecoder(QByteArray("windows-" + QByteArray::number(codePage)).constData());
        if (decoder.isValid())
            decoder_.emplace(std::move(decoder));
        // An unknown code page falls back to Windows-1252.
    }

    QFont fontFor(int index) const {
        QFont font;
        const auto it = fonts_.constFind(index);
        if (it != fonts_.constEnd() && !it->name.isEmpty()) {
            font.setFamilies({it->name});
            font.setStyleHint(it->hint);
        }
        return font;
    }

    void setChar(bool& flag, bool value) {
        flag = value;
        formatDirty_ = true;
    }

    QTextCharFormat charFormat(const CharProps& chr) const {
        QTextCharFormat format;
        format.setFontWeight(chr.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(chr.italic);
        format.setFontUnderline(chr.underline);
        format.setFontStrikeOut(chr.strike);
        format.setFontPointSize(chr.sizeHalfPoints / 2.0);
        const int font = chr.font >= 0 ? chr.font : defaultFont_;
        const auto it = fonts_.constFind(font);
        if (it != fonts_.constEnd() && !it->name.isEmpty()) {
            format.setFontFamilies(QStringList{it->name});
            format.setFontStyleHint(it->hint);
        }
        if (chr.colour >= 0 && chr.colour < colours_.size() && colours_[chr.colour].isValid())
            format.setForeground(colours_[chr.colour]);
        if (chr.background >= 0 && chr.background < colours_.size() &&
            colours_[chr.background].isValid())
            format.setBackground(colours_[chr.background]);
        if (chr.vertical > 0)
            format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (chr.vertical < 0)
            format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        return format;
    }

    static QTextBlockFormat blockFormat(const ParaProps& para) {
        QTextBlockFormat format;
        format.setAlignment(para.align);
        format.setLeftMargin(std::max(0, para.left) / kTwipsPerPixel);
        format.setRightMargin(std::max(0, para.right) / kTwipsPerPixel);
        format.setTextIndent(para.first / kTwipsPerPixel);
        format.setTopMargin(para.before / kTwipsPerPixel);
        format.setBottomMargin(para.after / kTwipsPerPixel);
        QList<QTextOption::Tab> tabs;
        for (const int tab : para.tabs)
            if (tab > 0)
                tabs.append(QTextOption::Tab(tab / kTwipsPerPixel, QTextOption::LeftTab));
        // A hanging indent has an implied tab stop at the left indent, so that "bullet, tab, text"
        // lines up with the wrapped lines.
        if (tabs.isEmpty() && para.first < 0 && para.left > 0)
            tabs.append(QTextOption::Tab(para.left / kTwipsPerPixel, QTextOption::LeftTab));
        if (!tabs.isEmpty()) {
            std::sort(tabs.begin(), tabs.end(),
                      [](const QTextOption::Tab& a, const QTextOption::Tab& b) {
                          return a.position < b.position;
                      });
            format.setTabPositions(tabs);
        }
        return format;
    }

    const char* p_;
    const char* end_;
    QTextDocument* doc_;
    QTextCursor cursor_;

    State st_;
    QList<State> stack_;
    int overflowDepth_ = 0;

    QHash<int, FontEntry> fonts_;
    int fontIndex_ = -1;
    QByteArray fontName_;
    QFont::StyleHint fontHint_ = QFont::AnyStyle;
    QList<QColor> colours_;
    int red_ = -1;
    int green_ = -1;
    int blue_ = -1;
    int defaultFont_ = -1;
    int codePage_ = 1252;
    std::optional<QStringDecoder> decoder_;

    QString run_;
    QTextCharFormat runFormat_;
    bool formatDirty_ = true;
    int skipChars_ = 0;
    char16_t pendingHigh_ = 0;
    int blocks_ = 0;
};

} // namespace

bool looksLikeRtf(const QByteArray& data) {
    qsizetype i = 0;
    if (data.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.mid(i, 5) == "{\\rtf";
}

void readRtf(const QByteArray& data, QTextDocument* document) {
    if (!document)
        return;
    RtfReader reader(data, document);
    reader.run();
}

void readPlainText(const QByteArray& data, QTextDocument* document) {
    if (!document)
        return;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(data);
    if (utf8.hasError()) {
        text.clear();
        text.reserve(data.size());
        for (const char c : data) {
            const char16_t unit = cp1252(static_cast<unsigned char>(c));
            if (unit != 0)
                text.append(QChar(unit));
        }
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    document->setPlainText(text);
}

} // namespace tally
