// Fetching one page: GetUrlSource behind an interface, so that the scan can be driven by any
// source of pages. The fetch is asynchronous: it reports the body through pageFetched().
#pragma once

#include <QObject>
#include <QString>

namespace tally {

class PageFetcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PageFetcher() override = default;

    // Starts a GET of strURL. pageFetched() follows exactly once, later on the event loop, with
    // the body (every byte one character), or the empty text when nothing could be fetched.
    // A fetch started while another is in flight cancels that one.
    virtual void GetUrlSource(const QString& strURL) = 0;
    // Cancels the fetch in flight, if any; no pageFetched() follows for it.
    virtual void abort() = 0;

Q_SIGNALS:
    void pageFetched(const QString& body);
};

} // namespace tally
