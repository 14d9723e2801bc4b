#include "core/product/engine_table.h"

#include <algorithm>

namespace tally {

const std::array<EngineInfo, EngineCount>& engineTable() {
    static constexpr std::array<EngineInfo, EngineCount> table{{
        {1, "Google", "Google", "Google", " on Google", "",
         "http://www.google.com/search?hl=en&ie=UTF-8&q=link:"},
        {2, "Altavista", "Altavista", "AltaVista", " on AltaVista", "",
         "http://www.altavista.com/web/results?q=link:"},
        {3, "Yahoo", "Yahoo!", "Yahoo", " on Yahoo!", "",
         "http://search.yahoo.com/search?fr=fp-pull-web-t&p=link:"},
        {4, "Ask", "Ask", "Ask", " on Ask", "", "http://www.ask.com/web?qsrc=1&o=312&q=links:"},
        {5, "MSN", "MSN", "MSN", " on MSN", "",
         "http://search.msn.com/results.aspx?FORM=SMCRT&q=link:"},
        {6, "ATW", "All The Web", "AllTheWeb", " on All The Web", "&rys=0&_sb_lang=pref&ocjp=1",
         "http://www.alltheweb.com/search?cat=web&cs=utf8&q=link:"},
    }};
    return table;
}

bool isBuiltInEngineKey(const QString& key) {
    return std::any_of(engineTable().begin(), engineTable().end(),
                       [&key](const EngineInfo& e) { return key == QLatin1String(e.key); });
}

std::span<const BlockedPagePhrase> blockedPagePhrases() {
    static constexpr BlockedPagePhrase phrases[] = {
        {"captcha", QT_TRANSLATE_NOOP("EngineOutcome", "captcha page")},
        {"not a robot", QT_TRANSLATE_NOOP("EngineOutcome", "captcha page")},
        {"unusual traffic", QT_TRANSLATE_NOOP("EngineOutcome", "unusual traffic page")},
        {"automated queries", QT_TRANSLATE_NOOP("EngineOutcome", "unusual traffic page")},
        {"automated requests", QT_TRANSLATE_NOOP("EngineOutcome", "unusual traffic page")},
        {"before you continue", QT_TRANSLATE_NOOP("EngineOutcome", "consent page")},
        {"consent", QT_TRANSLATE_NOOP("EngineOutcome", "consent page")},
    };
    return phrases;
}

QByteArray defaultSettingsIni() {
    // The same layout the INI module writes: a blank line before the header, CR LF line ends.
    QByteArray text = "\r\n[";
    text += EnginesSection;
    text += "]\r\n";
    for (const EngineInfo& e : engineTable()) {
        text += e.key;
        text += '=';
        text += e.defaultPrefix;
        text += "\r\n";
    }
    return text;
}

} // namespace tally
