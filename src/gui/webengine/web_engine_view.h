// The web page view of the web engine plugin: a QWebEngineView filling a WebPageView.
#pragma once

#include "gui/webview/web_page_view.h"

class QWebEngineView;

namespace tally {

class WebEngineView : public WebPageView {
    Q_OBJECT
public:
    explicit WebEngineView(QWidget* parent = nullptr);

    void load(const QUrl& url) override;
    void back() override;
    void forward() override;
    void stop() override;
    void reload() override;
    QUrl url() const override;
    QString title() const override;
    bool canGoBack() const override;
    bool canGoForward() const override;

protected:
    // The page's own background before it paints (a blank page, a page loading) follows the
    // window's base colour, dark under a dark desktop.
    void changeEvent(QEvent* event) override;

private:
    QWebEngineView* engine_;
};

} // namespace tally
