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
#include <map>
#include <memory>
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

// Mac Roman for the bytes 0x80..0xFF. Kept here so that files written on a Mac read the same
// whether or not the platform's converters know the code page.
constexpr char16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

// The Symbol font's characters 0x20..0xFF in Unicode; 0 where the font has none.
constexpr char16_t kSymbolFont[224] = {
    // 0x20
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B,
    0x002C, 0x2212, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    // 0x40
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A,
    0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,
    // 0x60
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA,
    0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,
    // 0x80
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xA0
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194,
    0x2190, 0x2191, 0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
    // 0xC0
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284,
    0x2282, 0x2286, 0x2208, 0x2209, 0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    // 0xE0
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3,
    0x23A7, 0x23A8, 0x23A9, 0x23AA, 0, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0};

char16_t symbolFont(unsigned int code) {
    return code >= 0x20 && code <= 0xFF ? kSymbolFont[code - 0x20] : 0;
}

// The code page number Windows gives the Symbol font's character set.
constexpr int kSymbolCodePage = 42;
constexpr int kUtf8CodePage = 65001;

bool isMacCodePage(int codePage) {
    return codePage >= 10000 && codePage < 10100;
}

// The code page of a font table's \fcharsetN; 0 for the default character set and any it does
// not know, which read in the document's code page.
int codePageOfCharset(int charset) {
    switch (charset) {
    case 0:   // ANSI
    case 2:   // symbol fonts other than Symbol itself
    case 255: // OEM
        return 1252;
    case 77:
        return 10000;
    case 78:
        return 10001;
    case 79:
        return 10003;
    case 80:
        return 10008;
    case 81:
        return 10002;
    case 85:
        return 10006;
    case 86:
        return 10081;
    case 88:
        return 10029;
    case 89:
        return 10007;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 1361;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    default:
        return 0;
    }
}

// The names under which the platform's converters may know a code page, most precise first.
QList<QByteArray> converterNames(int codePage) {
    switch (codePage) {
    case 932:
    case 10001:
        return {"windows-31j", "Shift_JIS"};
    case 936:
        return {"GBK", "windows-936", "GB18030"};
    case 949:
        return {"windows-949", "EUC-KR"};
    case 950:
        return {"windows-950", "Big5"};
    case 10002:
        return {"Big5"};
    case 10003:
        return {"EUC-KR"};
    case 10006:
        return {"x-mac-greek"};
    case 10007:
        return {"x-mac-cyrillic"};
    case 10008:
        return {"GB2312", "GBK"};
    case 10029:
        return {"x-mac-centraleurope"};
    case 10081:
        return {"x-mac-turkish"};
    default:
        break;
    }
    const QByteArray number = QByteArray::number(codePage);
    if (codePage >= 28591 && codePage <= 28606)
        return {"ISO-8859-" + QByteArray::number(codePage - 28590)};
    return {"windows-" + number, "IBM" + number, "cp" + number};
}

// How the bytes of one code page group into characters and turn into text.
class CodePage {
public:
    // Null when neither a table here nor the platform's converters know the code page.
    static std::unique_ptr<CodePage> make(int number) {
        auto page = std::unique_ptr<CodePage>(new CodePage);
        switch (number) {
        case 1252:
            page->table_ = Table::Windows1252;
            return page;
        case 10000:
            page->table_ = Table::MacRoman;
            return page;
        case kSymbolCodePage:
            page->table_ = Table::Symbol;
            return page;
        case kUtf8CodePage:
            page->grouping_ = Grouping::Utf8;
            page->decoder_ = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            return page;
        case 932:
        case 10001:
            page->grouping_ = Grouping::ShiftJis;
            page->macJapanese_ = number == 10001;
            break;
        case 936:
        case 949:
        case 950:
        case 10002:
        case 10003:
        case 10008:
            page->grouping_ = Grouping::DoubleByte;
            break;
        default:
            break;
        }
        if (number <= 0)
            return nullptr;
        for (const QByteArray& name : converterNames(number)) {
            QStringDecoder decoder(name.constData(), QStringDecoder::Flag::Stateless);
            if (decoder.isValid()) {
                page->decoder_ = std::move(decoder);
                return page;
            }
        }
        return nullptr;
    }

    // How many bytes the character that starts with `lead` takes.
    int length(unsigned char lead) const {
        switch (grouping_) {
        case Grouping::Single:
            return 1;
        case Grouping::ShiftJis:
            return (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC) ? 2 : 1;
        case Grouping::DoubleByte:
            return lead >= 0x81 && lead <= 0xFE ? 2 : 1;
        case Grouping::Utf8:
            if (lead >= 0xC2 && lead <= 0xDF)
                return 2;
            if (lead >= 0xE0 && lead <= 0xEF)
                return 3;
            if (lead >= 0xF0 && lead <= 0xF4)
                return 4;
            return 1;
        }
        return 1;
    }

    // True when `byte` can be a second or later byte of a character.
    bool continues(unsigned char byte) const {
        switch (grouping_) {
        case Grouping::Single:
            return false;
        case Grouping::ShiftJis:
            return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
        case Grouping::DoubleByte:
            return byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
        case Grouping::Utf8:
            return byte >= 0x80 && byte <= 0xBF;
        }
        return false;
    }

    // The text of one character's bytes (of `length` bytes or fewer when the input was cut).
    QString character(QByteArrayView bytes) {
        if (bytes.isEmpty())
            return QString();
        const auto first = static_cast<unsigned char>(bytes[0]);
        if (bytes.size() == 1) {
            char16_t unit = 0;
            switch (table_) {
            case Table::Windows1252:
                unit = cp1252(first);
                break;
            case Table::MacRoman:
                unit = first < 0x80 ? first : kMacRomanHigh[first - 0x80];
                break;
            case Table::Symbol:
                unit = symbolFont(first);
                break;
            case Table::None:
                if (first < 0x80)
                    unit = first;
                else if (macJapanese_)
                    unit = macJapaneseSingle(first);
                break;
            }
            if (unit != 0 || table_ != Table::None)
                return unit != 0 ? QString(QChar(unit)) : QString();
        }
        if (!decoder_.isValid())
            return QString();
        return decoder_(bytes);
    }

    // The text of a run of bytes of this code page.
    QString text(QByteArrayView bytes) {
        QString result;
        qsizetype i = 0;
        while (i < bytes.size()) {
            qsizetype count = 1;
            const int want = length(static_cast<unsigned char>(bytes[i]));
            while (count < want && i + count < bytes.size() &&
                   continues(static_cast<unsigned char>(bytes[i + count])))
                ++count;
            result += character(bytes.sliced(i, count));
            i += count;
        }
        return result;
    }

private:
    enum class Table { None, Windows1252, MacRoman, Symbol };
    enum class Grouping { Single, ShiftJis, DoubleByte, Utf8 };

    CodePage() = default;

    // The single bytes in which Mac Japanese differs from Shift-JIS.
    static char16_t macJapaneseSingle(unsigned char byte) {
        switch (byte) {
        case 0x80:
            return 0x005C;
        case 0xA0:
            return 0x00A0;
        case 0xFD:
            return 0x00A9;
        case 0xFE:
            return 0x2122;
        case 0xFF:
            return 0x2026;
        default:
            return 0;
        }
    }

    Table table_ = Table::None;
    Grouping grouping_ = Grouping::Single;
    bool macJapanese_ = false;
    QStringDecoder decoder_;
};

// Limits that keep hostile input from costing much: nesting deeper than this is read as flat text,
// and tables stop growing at these sizes.
constexpr int kMaxDepth = 200;
constexpr int kMaxTableEntries = 4096;
constexpr int kMaxTabStops = 64;
constexpr int kMaxFontName = 256;
constexpr int kMaxFields = 64;
constexpr int kMaxInstruction = 1024;
constexpr int kMaxTwips = 31680; // 22 inches
constexpr double kTwipsPerPixel = 15.0;

// FieldInstruction collects the text of a field's instruction (\fldinst).
enum class Dest { Text, Skip, FontTable, ColourTable, FieldInstruction };

struct CharProps {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    bool caps = false;
    bool smallCaps = false;
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
    int field = -1;          // the innermost open field this group belongs to, an index of fields_
    bool attachment = false; // inside a TextEdit attachment (\NeXTGraphic)
};

struct FontEntry {
    QString name;
    QFont::StyleHint hint = QFont::AnyStyle;
    int codePage = 0; // 0: the document's
};

// A field (\field): its instruction, and where its shown result began.
struct Field {
    QString instruction;
    qint64 resultStart = -1; // visible characters shown before the result; -1: no result yet
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

bool isSymbolFontName(const QString& name) {
    return name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
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
                                                   "blipuid",
                                                   "nonesttables",
                                                   "ftnsep",
                                                   "ftnsepc",
                                                   "ftncn",
                                                   "aftnsep",
                                                   "aftnsepc",
                                                   "aftncn"};
    return std::find(std::begin(skipped), std::end(skipped), word) != std::end(skipped);
}

// The words of a field instruction; a quoted name is one word without its quotes.
QStringList instructionWords(const QString& instruction) {
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = instruction.size();
    while (i < n) {
        while (i < n && instruction[i].isSpace())
            ++i;
        if (i >= n)
            break;
        if (instruction[i] == QLatin1Char('"')) {
            const qsizetype close = instruction.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype stop = close < 0 ? n : close;
            words << instruction.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        const qsizetype start = i;
        while (i < n && !instruction[i].isSpace() && instruction[i] != QLatin1Char('"'))
            ++i;
        words << instruction.mid(start, i - start);
    }
    return words;
}

class RtfReader {
public:
    RtfReader(const QByteArray& data, QTextDocument* document)
        : p_(data.constData()), end_(data.constData() + data.size()), doc_(document),
          cursor_(document) {}

    void run() {
        // A byte-order mark and blanks before the first group are no text.
        if (end_ - p_ >= 3 && std::string_view(p_, 3) == "\xEF\xBB\xBF")
            p_ += 3;
        while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n'))
            ++p_;

        // The document is built in one edit block without undo steps, so that it is laid out
        // once at the end and not after every run of text.
        const bool undo = doc_->isUndoRedoEnabled();
        doc_->setUndoRedoEnabled(false);
        doc_->clear();
        cursor_ = QTextCursor(doc_);
        cursor_.beginEditBlock();
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
                textByte(static_cast<unsigned char>(c), false);
                break;
            }
        }
        finish();
        cursor_.endEditBlock();
        doc_->setUndoRedoEnabled(undo);
    }

private:
    // ---- input --------------------------------------------------------------------------------

    void openGroup() {
        flushPendingHigh();
        skipChars_ = 0;
        starred_ = false;
        if (stack_.size() >= kMaxDepth) {
            ++overflowDepth_;
            return;
        }
        stack_.append(st_);
    }

    void closeGroup() {
        flushPendingHigh();
        skipChars_ = 0;
        starred_ = false;
        if (overflowDepth_ > 0) {
            --overflowDepth_;
            return;
        }
        if (st_.dest == Dest::FontTable)
            finishFontEntry();
        if (stack_.isEmpty())
            return; // an unbalanced closing brace: ignored
        const State& outer = stack_.last();
        if (st_.field >= 0 && outer.field != st_.field)
            finishField();
        const bool attachmentEnds = st_.attachment && !outer.attachment;
        st_ = stack_.takeLast();
        if (attachmentEnds)
            dropAttachmentMark_ = true;
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
            const int byte = hexByte(p_);
            if (byte < 0)
                return; // not an escape: what follows is read as it stands
            p_ += 2;
            textByte(static_cast<unsigned char>(byte), true);
            return;
        }
        case '*':
            // An optional destination: skipped unless the next word names one read here.
            starred_ = st_.dest == Dest::Text;
            st_.dest = Dest::Skip;
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

    // The byte of the two hex digits at `at`, or -1.
    int hexByte(const char* at) const {
        if (end_ - at < 2)
            return -1;
        const int high = hexValue(at[0]);
        const int low = hexValue(at[1]);
        return high < 0 || low < 0 ? -1 : high * 16 + low;
    }

    void controlWord(std::string_view word, bool hasParam, int param) {
        const bool starred = starred_;
        starred_ = false;
        if (word == "bin") {
            // Binary data of `param` bytes follows; never shown.
            const qsizetype count = std::clamp<qsizetype>(hasParam ? param : 0, 0, end_ - p_);
            p_ += count;
            return;
        }
        if (st_.dest == Dest::Skip) {
            if (starred && word == "fldinst" && st_.field >= 0)
                st_.dest = Dest::FieldInstruction;
            return;
        }
        if (st_.dest == Dest::FieldInstruction)
            return; // formatting inside an instruction does not matter
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

        if (destinationWord(word) || documentWord(word, hasParam, param) || characterWord(word))
            return;
        const bool on = !hasParam || param != 0;
        if (!formattingWord(word, on, hasParam, param))
            paragraphWord(word, param);
        // Everything else: not understood, ignored.
    }

    // A word that opens a destination: the tables, a field's parts, what is never shown.
    bool destinationWord(std::string_view word) {
        if (word == "fonttbl") {
            st_.dest = Dest::FontTable;
            startFontEntry(-1);
            return true;
        }
        if (word == "colortbl") {
            st_.dest = Dest::ColourTable;
            red_ = green_ = blue_ = -1;
            return true;
        }
        if (word == "field") {
            if (fields_.size() < kMaxFields) {
                fields_.append(Field());
                st_.field = int(fields_.size()) - 1;
            }
            return true;
        }
        if (word == "fldinst" && st_.field >= 0) {
            st_.dest = Dest::FieldInstruction;
            return true;
        }
        if (word == "fldrslt") {
            if (st_.field >= 0 && st_.field < fields_.size())
                fields_[st_.field].resultStart = visibleChars_;
            return true;
        }
        if (word == "footnote") {
            // Footnotes are numbered in their order; their text is not shown.
            ++footnotes_;
            st_.dest = Dest::Skip;
            return true;
        }
        if (word == "NeXTGraphic") {
            // The file name of a picture attached by TextEdit, followed by its attachment mark.
            st_.attachment = true;
            st_.dest = Dest::Skip;
            return true;
        }
        if (isSkippedDestination(word)) {
            st_.dest = Dest::Skip;
            return true;
        }
        return false;
    }

    // The document's code page, default font and Unicode characters.
    bool documentWord(std::string_view word, bool hasParam, int param) {
        if (word == "ansicpg") {
            if (hasParam && param > 0)
                codePage_ = param;
        } else if (word == "ansi") {
            codePage_ = 1252;
        } else if (word == "mac") {
            codePage_ = 10000;
        } else if (word == "pc") {
            codePage_ = 437;
        } else if (word == "pca") {
            codePage_ = 850;
        } else if (word == "deff") {
            defaultFont_ = param;
        } else if (word == "uc") {
            st_.uc = std::clamp(param, 0, 16);
        } else if (word == "u") {
            unicodeChar(param);
        } else {
            return false;
        }
        return true;
    }

    // Breaks and words that stand for one character.
    bool characterWord(std::string_view word) {
        static constexpr std::pair<std::string_view, char16_t> characters[] = {
            {"line", u'\u2028'},      {"tab", u'\t'},          {"cell", u'\t'},
            {"nestcell", u'\t'},      {"bullet", u'\u2022'},   {"emdash", u'\u2014'},
            {"endash", u'\u2013'},    {"emspace", u'\u2003'},  {"enspace", u'\u2002'},
            {"qmspace", u'\u2005'},   {"lquote", u'\u2018'},   {"rquote", u'\u2019'},
            {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'}};
        if (word == "par" || word == "sect" || word == "page" || word == "row" ||
            word == "nestrow") {
            paragraph();
            return true;
        }
        if (word == "chftn") {
            // The mark of the footnote that follows it.
            for (const QChar ch : QString::number(footnotes_ + 1))
                textChar(ch);
            return true;
        }
        for (const auto& [name, character] : characters)
            if (word == name) {
                textChar(QChar(character));
                return true;
            }
        return false;
    }

    // Character formatting.
    bool formattingWord(std::string_view word, bool on, bool hasParam, int param) {
        CharProps& chr = st_.chr;
        if (word == "plain") {
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
        } else if (word == "caps") {
            setChar(chr.caps, on);
        } else if (word == "scaps") {
            setChar(chr.smallCaps, on);
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
        } else {
            return false;
        }
        return true;
    }

    // Paragraph formatting.
    void paragraphWord(std::string_view word, int param) {
        ParaProps& para = st_.para;
        if (word == "pard") {
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
    }

    void fontTableWord(std::string_view word, bool hasParam, int param) {
        if (word == "f") {
            finishFontEntry();
            startFontEntry(hasParam ? param : -1);
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
        } else if (word == "fcharset") {
            fontCharset_ = hasParam ? param : -1;
        } else if (word == "cpg") {
            fontCpg_ = hasParam ? param : 0;
        }
    }

    // ---- text ---------------------------------------------------------------------------------

    // One byte of text, raw from the file or from a \'hh escape. The first byte of a character of
    // several bytes takes the bytes that continue it, whether escaped or raw: some writers put the
    // second byte of a double-byte character raw after an escaped first one, even when it is a
    // backslash or a brace. A first byte that nothing continues stands alone: its character in
    // the code page, or nothing where the code page has none.
    void textByte(unsigned char byte, bool escaped) {
        if (st_.dest == Dest::ColourTable) {
            if (byte == ';' && colours_.size() < kMaxTableEntries) {
                colours_.append(
                    red_ < 0 && green_ < 0 && blue_ < 0
                        ? QColor()
                        : QColor(std::max(red_, 0), std::max(green_, 0), std::max(blue_, 0)));
                red_ = green_ = blue_ = -1;
            }
            return;
        }
        starred_ = false;
        CodePage& page = st_.dest == Dest::FontTable ? fontTablePage() : currentPage();
        char bytes[4] = {static_cast<char>(byte)};
        int count = 1;
        const int length = page.length(byte);
        for (; count < length; ++count) {
            const int next = continuation(page);
            if (next < 0)
                break;
            bytes[count] = static_cast<char>(next);
        }
        const QByteArrayView sequence(bytes, count);
        const bool cut = count < length;

        switch (st_.dest) {
        case Dest::Skip:
        case Dest::ColourTable:
            return;
        case Dest::FontTable:
            if (count == 1 && byte == ';')
                finishFontEntry();
            else if (fontName_.size() < kMaxFontName && fontIndex_ >= 0)
                fontName_.append(sequence);
            return;
        case Dest::FieldInstruction:
            appendInstruction(page.character(sequence));
            return;
        case Dest::Text:
            break;
        }
        if (skipChars_ > 0) {
            skipChars_ = std::max(0, skipChars_ - count);
            return;
        }
        flushPendingHigh();
        if (count == 1 && byte < 0x20) {
            if (!escaped && byte == '\t')
                textChar(QLatin1Char('\t'));
            return;
        }
        for (const QChar ch : page.character(sequence))
            if (ch.unicode() >= 0x20 && !(cut && ch == QChar::ReplacementCharacter))
                appendChar(ch);
    }

    // The next byte of a character of several bytes, as a \'hh escape or raw; -1 when the input
    // does not continue the character. A raw backslash that begins a control word ("\tab")
    // is that word, never the second byte of a character.
    int continuation(const CodePage& page) {
        if (end_ - p_ >= 4 && p_[0] == '\\' && p_[1] == '\'') {
            const int byte = hexByte(p_ + 2);
            if (byte >= 0) {
                if (!page.continues(static_cast<unsigned char>(byte)))
                    return -1;
                p_ += 4;
                return byte;
            }
        }
        if (p_ + 1 < end_ && p_[0] == '\\' && isLetter(p_[1]))
            return -1;
        if (p_ < end_ && page.continues(static_cast<unsigned char>(*p_)))
            return static_cast<unsigned char>(*p_++);
        return -1;
    }

    void unicodeChar(int value) {
        skipChars_ = st_.uc;
        char16_t unit = static_cast<char16_t>(value < 0 ? value + 65536 : value);
        // Symbol fonts' characters written in the private-use area where Windows puts them.
        if (unit >= 0xF020 && unit <= 0xF0FF && currentCodePage() == kSymbolCodePage)
            unit = symbolFont(unit - 0xF000);
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
        if (st_.dest == Dest::FieldInstruction) {
            appendInstruction(QString(ch));
            return;
        }
        if (st_.dest != Dest::Text)
            return;
        endFallback();
        flushPendingHigh();
        appendChar(ch);
    }

    void appendChar(QChar ch) {
        if (dropAttachmentMark_) {
            dropAttachmentMark_ = false;
            if (ch == QChar(0x00AC) || ch == QChar::ObjectReplacementCharacter)
                return;
        }
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
        if (!ch.isSpace())
            ++visibleChars_;
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
        dropAttachmentMark_ = false;
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

    // ---- fields -------------------------------------------------------------------------------

    void appendInstruction(const QString& text) {
        if (st_.field < 0 || st_.field >= fields_.size())
            return;
        QString& instruction = fields_[st_.field].instruction;
        if (instruction.size() + text.size() <= kMaxInstruction)
            instruction += text;
    }

    // Called as the field's own group closes. A field shows its result; a SYMBOL field whose
    // result is empty shows the character it names.
    void finishField() {
        if (st_.field != fields_.size() - 1)
            return;
        const Field field = fields_.takeLast();
        if (field.resultStart >= 0 && visibleChars_ > field.resultStart)
            return;
        if (st_.dest != Dest::Text)
            return;
        const QString symbol = symbolFieldText(field.instruction);
        if (symbol.isEmpty())
            return;
        flushPendingHigh();
        for (const QChar ch : symbol)
            appendChar(ch);
    }

    // The character of "SYMBOL code [\f font] [\u | \j | \a] ...", or nothing.
    QString symbolFieldText(const QString& instruction) {
        const QStringList words = instructionWords(instruction);
        if (words.size() < 2 || words[0].compare(QLatin1String("SYMBOL"), Qt::CaseInsensitive) != 0)
            return QString();
        bool ok = false;
        qint64 code = words[1].toLongLong(&ok, 0);
        if (!ok)
            return QString();
        if (code < 0)
            code += 65536;
        QString font;
        bool unicode = false;
        bool shiftJis = false;
        for (qsizetype i = 2; i < words.size(); ++i) {
            const QString& word = words[i];
            if (word.compare(QLatin1String("\\f"), Qt::CaseInsensitive) == 0 &&
                i + 1 < words.size())
                font = words[++i];
            else if (word.compare(QLatin1String("\\u"), Qt::CaseInsensitive) == 0)
                unicode = true;
            else if (word.compare(QLatin1String("\\j"), Qt::CaseInsensitive) == 0)
                shiftJis = true;
        }
        if (code < 0x20 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return QString();
        if (isSymbolFontName(font)) {
            if (code >= 0xF020 && code <= 0xF0FF)
                code -= 0xF000;
            if (code <= 0xFF) {
                const char16_t unit = symbolFont(static_cast<unsigned int>(code));
                return unit ? QString(QChar(unit)) : QString();
            }
        }
        if (shiftJis && code <= 0xFFFF) {
            CodePage* page = pageFor(932);
            if (!page)
                return QString();
            const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
            return code > 0xFF ? page->text(QByteArrayView(bytes, 2))
                               : page->text(QByteArrayView(bytes + 1, 1));
        }
        if (unicode || code > 0xFF) {
            const char32_t point = static_cast<char32_t>(code);
            return QString::fromUcs4(&point, 1);
        }
        // A byte of the named font's character set: unknown here, so Windows-1252; without a
        // name, the current font's.
        const char byte = static_cast<char>(code);
        CodePage& page = font.isEmpty() ? currentPage() : *pageFor(1252);
        return page.character(QByteArrayView(&byte, 1));
    }

    // ---- code pages ---------------------------------------------------------------------------

    // The code page for `number`, made when first needed; null when it is not known here.
    CodePage* pageFor(int number) {
        auto it = pages_.find(number);
        if (it == pages_.end())
            it = pages_.emplace(number, CodePage::make(number)).first;
        return it->second.get();
    }

    // The code page a font's character set gives; 0 when it reads in the document's.
    int codePageOfFont(int charset, int cpg) const {
        if (cpg > 0)
            return cpg;
        const int codePage = codePageOfCharset(charset);
        // "ANSI" in a document written on a Mac or in UTF-8 means the document's own code page.
        if (codePage == 1252 && (isMacCodePage(codePage_) || codePage_ == kUtf8CodePage))
            return 0;
        return codePage;
    }

    // The number of the code page text is read in: the current font's, else the document's.
    int currentCodePage() {
        const int font = st_.chr.font >= 0 ? st_.chr.font : defaultFont_;
        const auto it = fonts_.constFind(font);
        if (it != fonts_.constEnd() && it->codePage > 0 && pageFor(it->codePage))
            return it->codePage;
        return pageFor(codePage_) ? codePage_ : 1252;
    }

    CodePage& currentPage() { return *pageFor(currentCodePage()); }

    // The code page of the font table entry being read, for its name.
    CodePage& fontTablePage() {
        const int codePage = codePageOfFont(fontCharset_, fontCpg_);
        if (codePage > 0)
            if (CodePage* page = pageFor(codePage))
                return *page;
        if (CodePage* page = pageFor(codePage_))
            return *page;
        return *pageFor(1252);
    }

    // ---- tables and formats -------------------------------------------------------------------

    void startFontEntry(int index) {
        fontIndex_ = index;
        fontName_.clear();
        fontHint_ = QFont::AnyStyle;
        fontCharset_ = -1;
        fontCpg_ = 0;
    }

    void finishFontEntry() {
        if (fontIndex_ >= 0 && fonts_.size() < kMaxTableEntries) {
            QString name;
            for (const QChar ch : fontTablePage().text(fontName_))
                if (ch.unicode() >= 0x20)
                    name.append(ch);
            name = name.trimmed();
            int codePage = codePageOfFont(fontCharset_, fontCpg_);
            if (isSymbolFontName(name) && (fontCharset_ == 2 || fontCharset_ < 0))
                codePage = kSymbolCodePage;
            fonts_.insert(fontIndex_, FontEntry{name, fontHint_, codePage});
        }
        startFontEntry(-1);
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
        if (chr.caps)
            format.setFontCapitalization(QFont::AllUppercase);
        else if (chr.smallCaps)
            format.setFontCapitalization(QFont::SmallCaps);
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
    bool starred_ = false; // a \* was read and no control word since

    QHash<int, FontEntry> fonts_;
    int fontIndex_ = -1;
    QByteArray fontName_;
    QFont::StyleHint fontHint_ = QFont::AnyStyle;
    int fontCharset_ = -1;
    int fontCpg_ = 0;
    QList<QColor> colours_;
    int red_ = -1;
    int green_ = -1;
    int blue_ = -1;
    int defaultFont_ = -1;
    int codePage_ = 1252; // the document's
    std::map<int, std::unique_ptr<CodePage>> pages_;

    QList<Field> fields_;
    int footnotes_ = 0;
    bool dropAttachmentMark_ = false;

    QString run_;
    QTextCharFormat runFormat_;
    bool formatDirty_ = true;
    int skipChars_ = 0;
    char16_t pendingHigh_ = 0;
    int blocks_ = 0;
    qint64 visibleChars_ = 0;
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
    // A byte-order mark is no text. The whole file is one piece: bytes cut off at its end make it
    // invalid UTF-8 rather than wait for more.
    const QByteArrayView bytes =
        data.startsWith("\xEF\xBB\xBF") ? QByteArrayView(data).sliced(3) : QByteArrayView(data);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        text.clear();
        text.reserve(bytes.size());
        for (const char c : bytes) {
            const char16_t unit = cp1252(static_cast<unsigned char>(c));
            if (unit != 0)
                text.append(QChar(unit));
        }
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    document->setPlainText(text);
}

} // namespace tally
