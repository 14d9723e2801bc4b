// Finds and loads the web engine plugin, which makes the web page views. The program starts
// without the web engine (about 85 MiB and 70 ms at every start); the plugin brings it in the
// first time a page is opened.
//
// The plugin, libtallywebengine.so, is looked for in <executable's
// folder>/../lib/tallyscope/plugins: build/lib/tallyscope/plugins for the program, the tests and
// the benchmarks of a build tree, and <prefix>/lib/tallyscope/plugins beside
// <prefix>/bin/tallyscope once installed.
#pragma once

#include <QString>

namespace tally {

class WebPageViewFactory;

// The folder the plugin is looked for in.
QString webEnginePluginFolder();
// Points the search at another folder (tests); an empty text restores the usual one.
void setWebEnginePluginFolder(const QString& folder);

// The web engine's command-line flags for dark colours: pages that have a dark look of their own
// show it, and the others are darkened. Added to `flags` (the QTWEBENGINE_CHROMIUM_FLAGS value)
// unless they are in it already; `flags` as it is for light colours.
QByteArray webEngineColourFlags(const QByteArray& flags, bool dark);
// Sets QTWEBENGINE_CHROMIUM_FLAGS so, before the web engine starts (the first page); it cannot
// change them later in the run.
void prepareWebEngineColours(bool dark);

// The plugin's factory, loading the plugin on the first call. A plugin once loaded stays loaded
// for the rest of the run (the web engine cannot be unloaded). When it cannot be loaded this
// returns nullptr and, with error given, says why; the next call tries again.
WebPageViewFactory* webPageViewFactory(QString* error = nullptr);

} // namespace tally
