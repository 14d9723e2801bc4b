#include "gui/webengine/web_engine_plugin.h"

#include "gui/webengine/web_engine_view.h"

namespace tally {

WebPageView* WebEnginePlugin::createView(QWidget* parent) {
    return new WebEngineView(parent);
}

} // namespace tally
