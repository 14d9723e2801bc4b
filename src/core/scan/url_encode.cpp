#include "core/scan/url_encode.h"

namespace tally::xurlEncode {

QString URLEncode(const QString& strText) {
    // The percent sign goes first, so that the codes put in below are not encoded again.
    static const struct {
        char16_t character;
        const char* code;
    } table[] = {
        {u' ', "%20"}, {u'<', "%3C"},  {u'>', "%3E"}, {u'#', "%23"},  {u'{', "%7B"},  {u'}', "%7D"},
        {u'|', "%7C"}, {u'\\', "%5C"}, {u'^', "%5E"}, {u'~', "%7E"},  {u'$', "%24"},  {u'[', "%5B"},
        {u']', "%5D"}, {u'`', "%60"},  {u';', "%3B"}, {u'/', "%2F"},  {u'?', "%3F"},  {u':', "%3A"},
        {u'@', "%40"}, {u'=', "%3D"},  {u'&', "%26"}, {u'\n', "%0A"}, {u'\r', "%0D"},
    };
    QString text = strText;
    text.replace(QLatin1Char('%'), QLatin1String("%25"));
    for (const auto& entry : table)
        text.replace(QChar(entry.character), QLatin1String(entry.code));
    return text;
}

} // namespace tally::xurlEncode
