#include "core/scan/engine_parser.h"

#include "core/numbers/numbers.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <initializer_list>
#include <string>

namespace tally {

namespace {

// Position (1-based) of the first occurrence of part in text, 0 when there is none; an empty
// part is found at 1 in a non-empty text.
qsizetype position(const QString& text, const QString& part) {
    if (text.isEmpty())
        return 0;
    if (part.isEmpty())
        return 1;
    return text.indexOf(part, 0, Qt::CaseSensitive) + 1;
}

// A decoded page, searched as QString searches.
class TextPage {
public:
    explicit TextPage(const QString& text) : text_(text) {}
    bool contains(const QString& part, bool anyCase) const {
        return text_.contains(part, anyCase ? Qt::CaseInsensitive : Qt::CaseSensitive);
    }
    // GetBetween, where `before` occurs.
    QString between(const QString& before, const QString& after) const {
        return GetBetween(text_, before, after);
    }

private:
    const QString& text_;
};

bool isAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

char folded(char c, bool anyCase, bool quotesAlike) {
    if (quotesAlike && c == '"')
        return '\'';
    return anyCase && c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// A page searched in its own bytes, never decoded whole: for a charset in which every byte below
// 0x80 is that ASCII character and never part of another one (UTF-8 and the single-byte
// charsets), an ASCII text occurs at the same places in the bytes as in the decoded page. Only
// the passages between markers are decoded. With quotesAlike a double quote of the page reads as
// a single one, as the rule's own replacement would make it.
class BytePage {
public:
    BytePage(QByteArrayView bytes, const QByteArray& charset, bool quotesAlike)
        : bytes_(bytes), charset_(charset), quotesAlike_(quotesAlike) {}

    static bool readsCharset(const QByteArray& charset) {
        const QByteArray name = charset.toLower();
        return name == "utf-8" || name.startsWith("windows-12") || name.startsWith("iso-8859-") ||
               name.startsWith("koi8-");
    }

    bool contains(const QString& part, bool anyCase) const {
        return part.isEmpty() || find(part.toLatin1(), 0, anyCase) >= 0;
    }
    QString between(const QString& before, const QString& after) const {
        const qsizetype at = find(before.toLatin1(), 0, false);
        const qsizetype start = at + before.size();
        qsizetype end = start;
        if (!after.isEmpty() && start < bytes_.size()) {
            const qsizetype found = find(after.toLatin1(), start, false);
            end = found >= 0 ? found : bytes_.size();
        }
        QStringDecoder decoder(charset_.constData());
        QString text = decoder.decode(bytes_.sliced(start, end - start));
        if (quotesAlike_)
            text.replace(QLatin1Char('"'), QLatin1Char('\''));
        return text;
    }

private:
    // The first place of needle from `from` on, -1 for none. The last answer is kept: a marker
    // looked for and then read between is searched once.
    qsizetype find(const QByteArray& needle, qsizetype from, bool anyCase) const {
        if (needle == lastNeedle_ && from == lastFrom_ && anyCase == lastAnyCase_)
            return lastFound_;
        lastNeedle_ = needle;
        lastFrom_ = from;
        lastAnyCase_ = anyCase;
        return lastFound_ = search(needle, from, anyCase);
    }
    qsizetype search(const QByteArray& needle, qsizetype from, bool anyCase) const {
        const uchar* page = reinterpret_cast<const uchar*>(bytes_.data());
        const qsizetype n = needle.size();
        if (!anyCase && !(quotesAlike_ && needle.contains('\''))) {
            const void* at =
                memmem(page + from, size_t(bytes_.size() - from), needle.constData(), size_t(n));
            return at ? static_cast<const uchar*>(at) - page : -1;
        }
        // Boyer-Moore-Horspool over folded bytes.
        std::array<uchar, 256> fold;
        for (int c = 0; c < 256; ++c)
            fold[c] = uchar(folded(char(c), anyCase, quotesAlike_));
        std::string key(size_t(n), '\0');
        for (qsizetype i = 0; i < n; ++i)
            key[i] = char(fold[uchar(needle.at(i))]);
        std::array<qsizetype, 256> skip;
        skip.fill(n);
        for (qsizetype i = 0; i + 1 < n; ++i)
            skip[uchar(key[i])] = n - 1 - i;
        for (qsizetype at = from; at + n <= bytes_.size(); at += skip[fold[page[at + n - 1]]]) {
            qsizetype i = n - 1;
            while (i >= 0 && fold[page[at + i]] == uchar(key[i]))
                --i;
            if (i < 0)
                return at;
        }
        return -1;
    }

    QByteArrayView bytes_;
    const QByteArray& charset_;
    bool quotesAlike_;
    mutable QByteArray lastNeedle_;
    mutable qsizetype lastFrom_ = -1, lastFound_ = -1;
    mutable bool lastAnyCase_ = false;
};

template <class Page> bool occurs(const Page& page, const QString& marker) {
    return !marker.isEmpty() && page.contains(marker, false);
}

// Whether the no-results passage is on the page and says the phrase.
template <class Page> bool saysNoResults(const Page& page, const MarkerRule& rule) {
    if (!occurs(page, rule.noResultsBefore))
        return false;
    QString passage = page.between(rule.noResultsBefore, rule.noResultsAfter);
    if (rule.noResultsJoinLines)
        passage.remove(QLatin1Char('\n'));
    return passage == rule.noResultsPhrase;
}

template <class Page> EngineCountReading readCount(const Page& page, const MarkerRule& rule) {
    const bool other = !rule.otherCountBefore.isEmpty() && !page.contains(rule.countBefore, true);
    const QString& before = other ? rule.otherCountBefore : rule.countBefore;
    const QString& after = other ? rule.otherCountAfter : rule.countAfter;
    // Without the opening marker GetBetween would hand back most of the page: no count text.
    if (occurs(page, before)) {
        QString count = page.between(before, after);
        for (const QString& text : rule.remove)
            if (!text.isEmpty())
                count.remove(text, Qt::CaseSensitive);
        if (count.size() >= 1 && count.size() <= rule.maxLength) {
            if (rule.spacesToZeros)
                count.replace(QLatin1Char(' '), QLatin1Char('0'));
            // Beyond the length test, what is shown and saved is a count.
            if (readsAsCount(count))
                return {true, count};
        }
    }
    if (saysNoResults(page, rule))
        return {true, QStringLiteral("0")};
    return {};
}

MarkerRule makeRule(bool singleQuotes, const char* countBefore, const char* countAfter,
                    std::initializer_list<const char*> remove, const char* noneBefore,
                    const char* noneAfter, const char* phrase) {
    MarkerRule rule;
    rule.singleQuotes = singleQuotes;
    rule.countBefore = QString::fromLatin1(countBefore);
    rule.countAfter = QString::fromLatin1(countAfter);
    for (const char* text : remove)
        rule.remove << QString::fromLatin1(text);
    rule.noResultsBefore = QString::fromLatin1(noneBefore);
    rule.noResultsAfter = QString::fromLatin1(noneAfter);
    rule.noResultsPhrase = QString::fromLatin1(phrase);
    return rule;
}

std::array<MarkerRule, 6> makeBuiltInRules() {
    std::array<MarkerRule, 6> rules{
        // Google
        makeRule(false, "</b> of ", "</b> linking to ", {"about <b>", "<b>"}, "</b> - ",
                 ".  <br><br>", "did not match any documents"),
        // AltaVista
        makeRule(false, "AltaVista found ", " results</A>", {}, "<span class=m><span class=y>",
                 ". ", "We found 0 results"),
        // Yahoo!
        makeRule(true, "of about ", " for <strong>", {}, "<big>", ":<ul><li>",
                 "We didn't find any Web pages matching the following criteria"),
        // Ask: no no-results passage
        makeRule(true, "Showing results 1-10 of ", "</td>", {" ", "\r", "\n", ","}, "", "", ""),
        // MSN: "Page 1 of " when the page has it in any letter case, else " of "
        makeRule(true, "Page 1 of ", " results", {",", " "}, "</td><td><span class='h1'>",
                 " <span class='h1 blue'>", "Sorry, no results were found containing"),
        // AllTheWeb
        makeRule(true, "<span class='ofSoMany'>", "</span>", {}, "<div class='noResults'>", ".</p>",
                 "<p>No Web pagesfound that match your query"),
    };
    rules[4].otherCountBefore = QStringLiteral(" of ");
    rules[4].otherCountAfter = QStringLiteral(" containing ");
    rules[5].spacesToZeros = true;
    rules[5].noResultsJoinLines = true;
    return rules;
}

} // namespace

QString GetBetween(const QString& IStringStr, const QString& IBefore, const QString& IPast) {
    QString s = IStringStr;
    const qsizetype p = position(s, IBefore);
    const qsizetype k = s.size() - p - IBefore.size() + 1;
    if (k >= 0)
        s = s.right(k);
    const qsizetype q = position(s, IPast);
    if (q >= 1)
        s = s.left(q - 1);
    return s;
}

const MarkerRule& builtInMarkerRule(int intEngine) {
    static const std::array<MarkerRule, 6> rules = makeBuiltInRules();
    static const MarkerRule none;
    return intEngine >= 1 && intEngine <= 6 ? rules[intEngine - 1] : none;
}

EngineCountReading readMarkerCount(QString page, const MarkerRule& rule) {
    if (rule.singleQuotes)
        page.replace(QLatin1Char('"'), QLatin1Char('\''));
    return readCount(TextPage(page), rule);
}

std::optional<EngineCountReading>
readMarkerCountInBytes(QByteArrayView page, const QByteArray& charset, const MarkerRule& rule) {
    if (!BytePage::readsCharset(charset))
        return std::nullopt;
    // The markers as the rule's quotes make them.
    MarkerRule quoted = rule;
    for (QString* marker :
         {&quoted.countBefore, &quoted.countAfter, &quoted.otherCountBefore,
          &quoted.otherCountAfter, &quoted.noResultsBefore, &quoted.noResultsAfter}) {
        if (!isAscii(*marker))
            return std::nullopt;
        if (rule.singleQuotes)
            marker->replace(QLatin1Char('"'), QLatin1Char('\''));
    }
    return readCount(BytePage(page, charset, rule.singleQuotes), quoted);
}

std::optional<bool> bytesContain(QByteArrayView page, const QByteArray& charset,
                                 const QString& text) {
    if (!BytePage::readsCharset(charset) || !isAscii(text))
        return std::nullopt;
    return BytePage(page, charset, false).contains(text, true);
}

EngineCountReading readEngineCount(QString page, int intEngine) {
    return readMarkerCount(std::move(page), builtInMarkerRule(intEngine));
}

QString ParseEngineData(QString strData, int intEngine) {
    EngineCountReading reading = readEngineCount(std::move(strData), intEngine);
    return reading.recognised ? reading.count : QString();
}

} // namespace tally
