// JSON pointers: "/response/0/count" names one value inside a JSON document. "~1" stands for a
// "/" inside a name and "~0" for a "~"; the empty pointer names the whole document. A step into
// an array is its index, written in decimal without leading zeros.
#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <optional>

namespace tally {

class JsonPointer {
public:
    // The pointer of a text, or nothing when the text is not one; *problem then says why.
    static std::optional<JsonPointer> parse(const QString& text, QString* problem = nullptr);

    // The value the pointer names in root, or nothing when there is none (a missing name, an
    // index past the end or not written as one, a step into a number or a text).
    std::optional<QJsonValue> find(const QJsonValue& root) const;

    const QString& text() const { return text_; }
    const QStringList& steps() const { return steps_; }

private:
    QString text_;
    QStringList steps_;
};

// A JSON document of any kind (an object, an array, or a single value such as a number), or
// nothing when the bytes are not one; *problem then says why.
std::optional<QJsonValue> parseJsonDocument(const QByteArray& bytes, QString* problem = nullptr);

} // namespace tally
