#include "core/product/app_state.h"

#include "tally_version.h"

namespace tally {

AppState& appState() {
    static AppState state{false, QString(), QString::fromUtf8(version::SiteAddress),
                          false, QString(), QString()};
    return state;
}

} // namespace tally
