#include "core/scan/engine_parser.h"

#include "core/numbers/numbers.h"

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

// A count text is accepted when it is 1 to 10 characters long.
bool validLength(const QString& count) {
    return count.size() >= 1 && count.size() <= 10;
}

void doubleQuotesToSingle(QString& page) {
    page.replace(QLatin1Char('"'), QLatin1Char('\''));
}

// The answer when no count text was accepted: "0" when the no-results passage says the phrase.
QString noResults(const QString& passage, const char* phrase) {
    return passage == QLatin1String(phrase) ? QStringLiteral("0") : QString();
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

QString ParseEngineData(QString strData, int intEngine) {
    switch (intEngine) {
    case 1: { // Google
        QString count =
            GetBetween(strData, QStringLiteral("</b> of "), QStringLiteral("</b> linking to "));
        count.remove(QStringLiteral("about <b>"));
        count.remove(QStringLiteral("<b>"));
        if (validLength(count))
            return count;
        return noResults(
            GetBetween(strData, QStringLiteral("</b> - "), QStringLiteral(".  <br><br>")),
            "did not match any documents");
    }
    case 2: { // AltaVista
        const QString count =
            GetBetween(strData, QStringLiteral("AltaVista found "), QStringLiteral(" results</A>"));
        if (validLength(count))
            return count;
        return noResults(GetBetween(strData, QStringLiteral("<span class=m><span class=y>"),
                                    QStringLiteral(". ")),
                         "We found 0 results");
    }
    case 3: { // Yahoo!
        doubleQuotesToSingle(strData);
        const QString count =
            GetBetween(strData, QStringLiteral("of about "), QStringLiteral(" for <strong>"));
        if (validLength(count))
            return count;
        return noResults(GetBetween(strData, QStringLiteral("<big>"), QStringLiteral(":<ul><li>")),
                         "We didn't find any Web pages matching the following criteria");
    }
    case 4: { // Ask: no no-results passage; anything but a count is "0"
        doubleQuotesToSingle(strData);
        QString count = GetBetween(strData, QStringLiteral("Showing results 1-10 of "),
                                   QStringLiteral("</td>"));
        count.remove(QLatin1Char(' '));
        count.remove(QLatin1Char('\r'));
        count.remove(QLatin1Char('\n'));
        count.remove(QLatin1Char(','));
        return validLength(count) ? count : QStringLiteral("0");
    }
    case 5: { // MSN
        doubleQuotesToSingle(strData);
        QString count =
            strData.contains(QLatin1String("Page 1 of "), Qt::CaseInsensitive)
                ? GetBetween(strData, QStringLiteral("Page 1 of "), QStringLiteral(" results"))
                : GetBetween(strData, QStringLiteral(" of "), QStringLiteral(" containing "));
        count.remove(QLatin1Char(','));
        count.remove(QLatin1Char(' '));
        if (!readsAsNumber(count))
            count = QStringLiteral("0");
        if (validLength(count))
            return count;
        return noResults(GetBetween(strData, QStringLiteral("</td><td><span class='h1'>"),
                                    QStringLiteral(" <span class='h1 blue'>")),
                         "Sorry, no results were found containing");
    }
    case 6: { // AllTheWeb
        doubleQuotesToSingle(strData);
        QString count = GetBetween(strData, QStringLiteral("<span class='ofSoMany'>"),
                                   QStringLiteral("</span>"));
        if (validLength(count))
            return count.replace(QLatin1Char(' '), QLatin1Char('0'));
        QString passage =
            GetBetween(strData, QStringLiteral("<div class='noResults'>"), QStringLiteral(".</p>"));
        passage.remove(QLatin1Char('\n'));
        return noResults(passage, "<p>No Web pagesfound that match your query");
    }
    default:
        return QString();
    }
}

} // namespace tally
