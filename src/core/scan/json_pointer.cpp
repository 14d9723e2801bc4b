#include "core/scan/json_pointer.h"

#include "core/numbers/numbers.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <limits>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(JsonPointer)
};

bool isAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// An array step: "0", or digits without a leading zero.
std::optional<qsizetype> arrayIndex(const QString& step) {
    const std::optional<quint64> index = readPlainIndex(step.toLatin1());
    if (!index || *index > quint64(std::numeric_limits<qsizetype>::max()) || !isAscii(step))
        return std::nullopt;
    return qsizetype(*index);
}

} // namespace

std::optional<JsonPointer> JsonPointer::parse(const QString& text, QString* problem) {
    auto fail = [&](const QString& why) -> std::optional<JsonPointer> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    JsonPointer pointer;
    pointer.text_ = text;
    if (text.isEmpty())
        return pointer;
    if (text.front() != QLatin1Char('/'))
        return fail(Text::tr("it does not start with \"/\""));
    for (const QString& raw : text.mid(1).split(QLatin1Char('/'))) {
        QString step;
        step.reserve(raw.size());
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] != QLatin1Char('~')) {
                step += raw[i];
                continue;
            }
            const QChar next = i + 1 < raw.size() ? raw[i + 1] : QChar();
            if (next == QLatin1Char('0'))
                step += QLatin1Char('~');
            else if (next == QLatin1Char('1'))
                step += QLatin1Char('/');
            else
                return fail(Text::tr("\"~\" must be followed by 0 or 1"));
            ++i;
        }
        pointer.steps_ << step;
    }
    return pointer;
}

std::optional<QJsonValue> JsonPointer::find(const QJsonValue& root) const {
    QJsonValue value = root;
    for (const QString& step : steps_) {
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            const auto it = object.constFind(step);
            if (it == object.constEnd())
                return std::nullopt;
            value = *it;
        } else if (value.isArray()) {
            const QJsonArray array = value.toArray();
            const std::optional<qsizetype> index = arrayIndex(step);
            if (!index || *index >= array.size())
                return std::nullopt;
            value = array.at(*index);
        } else {
            return std::nullopt;
        }
    }
    return value;
}

std::optional<QJsonValue> parseJsonDocument(const QByteArray& bytes, QString* problem) {
    // An object or an array is read from the bytes as they are. Wrapped in an array, a document
    // that is a single value reads as well; the wrapper must then hold exactly one value.
    const QByteArray start = bytes.left(64).trimmed();
    const bool whole = start.startsWith('{') || start.startsWith('[');
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson(whole ? bytes : '[' + bytes + ']', &error);
    const bool one = whole || (document.isArray() && document.array().size() == 1);
    if (error.error != QJsonParseError::NoError || !one) {
        if (problem)
            *problem = error.error != QJsonParseError::NoError
                           ? Text::tr("%1 at byte %2")
                                 .arg(error.errorString())
                                 .arg(std::max(0, error.offset - (whole ? 0 : 1)))
                           : Text::tr("not one JSON value");
        return std::nullopt;
    }
    if (whole)
        return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    return document.array().at(0);
}

} // namespace tally
