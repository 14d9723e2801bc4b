// Small result pages for the scan tests: each carries one count where an engine's markers look.
#pragma once

#include <QByteArray>
#include <QString>

namespace tally::test {

// The paths that stand for the six engines on a local test server, in engine-table order.
inline constexpr const char* EnginePaths[] = {"/google", "/altavista", "/yahoo",
                                              "/ask",    "/msn",       "/atw"};

// The engine (0..5) whose path this is; 6 for any other path.
int engineOfPath(const QString& path);

// A result page of engine e (0..5 in engine-table order) that reports count.
QByteArray enginePage(int e, const QByteArray& count);

} // namespace tally::test
