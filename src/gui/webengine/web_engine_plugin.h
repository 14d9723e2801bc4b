// The web engine plugin's root object: makes the program's web page views. Loaded at run time
// (see gui/webview/web_engine_plugin.h); the only part of the program that links the web engine.
#pragma once

#include "gui/webview/web_page_view.h"

#include <QObject>

namespace tally {

class WebEnginePlugin : public QObject, public WebPageViewFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TallyWebPageViewFactory_iid)
    Q_INTERFACES(tally::WebPageViewFactory)
public:
    WebPageView* createView(QWidget* parent) override;
};

} // namespace tally
