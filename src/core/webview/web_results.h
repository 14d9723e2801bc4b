// The pages behind a scanned URL, as the web-results list offers them: the URL's home page and
// each engine's result page for the URL.
#pragma once

#include "core/net/web_address.h"
#include "core/scan/engine_definitions.h"

#include <QString>
#include <QUrl>

#include <optional>

namespace tally {

// The row text of a URL's home page in the web-results list.
inline constexpr const char* HomePageRowText = QT_TRANSLATE_NOOP("WebResultsModel", "Home Page");

// The settings key (section "Engines" of settings.ini) of the slot behind a row text of the
// web-results list, by the slots' row texts ("AltaVista" gives "Altavista", "AllTheWeb" gives
// "ATW"; a slot with a caption of its own is found by that caption). Row texts compare exactly,
// letter case included. Empty for "Home Page" and for any text that is no slot's.
QString engineKeyForRowText(const QString& rowText, const EngineSet& engines = builtInEngines());

// The address a row of the web-results list opens: the URL unchanged for "Home Page"; for a
// markers engine's row the engine's query prefix, read now from the settings file, followed by
// the URL-encoded URL (a missing file or key gives an empty prefix); for an API's row (json,
// table) the address its request asks (buildEngineRequest), with every key in it shown as "…";
// nothing when that request is a POST or cannot be made. Nothing for a graph engine's or a
// switched-off slot's row (there is no page), and nothing for any other row text.
// The slots are those of engines.ini beside the settings file.
std::optional<QString> webResultAddress(const QString& rowText, const QString& url,
                                        const QString& settingsIni);
std::optional<QString> webResultAddress(const QString& rowText, const QString& url,
                                        const QString& settingsIni, const EngineSet& engines);

// What the user is told when an address is refused (webAddressFor in core/net/web_address.h).
QString refusedAddressMessage(const QString& address);

} // namespace tally
