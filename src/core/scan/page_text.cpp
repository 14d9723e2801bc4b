#include "core/scan/page_text.h"

#include <QStringDecoder>
#include <QUtf8StringView>

#include <cstring>

namespace tally {

namespace {

constexpr qsizetype MetaScanBytes = 4096;

// The value after "charset=" in a header or a tag, in lower case; empty when there is none.
QByteArray charsetIn(const QByteArray& text) {
    const QByteArray lower = text.toLower();
    for (qsizetype at = lower.indexOf("charset"); at >= 0; at = lower.indexOf("charset", at + 1)) {
        qsizetype i = at + 7;
        while (i < lower.size() && lower[i] == ' ')
            ++i;
        if (i >= lower.size() || lower[i] != '=')
            continue;
        do
            ++i;
        while (i < lower.size() && std::strchr(" \"'", lower[i]));
        qsizetype end = i;
        while (end < lower.size() && !std::strchr(" \t\r\n\"';,>/", lower[end]))
            ++end;
        if (end > i)
            return lower.mid(i, end - i);
    }
    return {};
}

// The name QStringDecoder knows a label by; empty for a label it does not know.
QByteArray knownCharset(QByteArray label) {
    if (label == "iso-8859-1" || label == "latin1" || label == "us-ascii" || label == "ascii")
        label = "windows-1252";
    const QStringDecoder decoder(label.constData());
    return decoder.isValid() ? QByteArray(decoder.name()) : QByteArray();
}

} // namespace

QByteArray pageCharset(const QByteArray& body, const QByteArray& contentType) {
    if (const QByteArray declared = knownCharset(charsetIn(contentType)); !declared.isEmpty())
        return declared;
    if (const auto bom = QStringConverter::encodingForData(body))
        return QStringConverter::nameForEncoding(*bom);
    const QByteArray head = body.left(MetaScanBytes);
    const QByteArray lowerHead = head.toLower();
    for (qsizetype at = lowerHead.indexOf("<meta"); at >= 0;
         at = lowerHead.indexOf("<meta", at + 1)) {
        const qsizetype end = lowerHead.indexOf('>', at);
        const QByteArray tag = head.mid(at, end < 0 ? -1 : end - at);
        if (const QByteArray named = knownCharset(charsetIn(tag)); !named.isEmpty())
            return named;
    }
    return QUtf8StringView(body).isValidUtf8() ? QByteArray("UTF-8") : QByteArray("windows-1252");
}

QString pageText(const QByteArray& body, const QByteArray& contentType) {
    return pageTextIn(body, pageCharset(body, contentType));
}

QString pageTextIn(const QByteArray& body, const QByteArray& charset) {
    QStringDecoder decoder(charset.constData());
    return decoder.decode(body);
}

} // namespace tally
