// The browser's navigation bar, shared by the Website View and the browser window: "URL:" with the
// address box and Go on one line, Back, Forward, Stop and reload below. It drives one web view
// and keeps the address box on the page it shows.
#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace tally {

class LazyWebView;

class NavigationBar : public QWidget {
    Q_OBJECT
public:
    // The object names and designed sizes that differ between the two windows.
    struct Design {
        const char* goName;
        const char* backName;
        const char* forwardName;
        const char* stopName;
        const char* refreshName;
        int addressLeft;   // where the address box starts, from the bar's left edge
        int goRightMargin; // room right of Go
        int buttonWidth;   // Back .. reload
        int buttonGap;
    };

    // The keys Alt+Left, Alt+Right, Esc, F5 and Ctrl+L act while the focus is inside
    // shortcutScope (with context WidgetWithChildrenShortcut) or anywhere in its window
    // (WindowShortcut).
    NavigationBar(LazyWebView* view, const Design& design, QWidget* shortcutScope,
                  Qt::ShortcutContext shortcutContext, QWidget* parent = nullptr);

    QLineEdit* addressBox() const { return addressBox_; }

public Q_SLOTS:
    // Go, and Enter in the address box: opens the box's text.
    void openTypedAddress();

protected:
    void changeEvent(QEvent* event) override;

private:
    // Go at its designed width, or wider where its caption needs it (a larger font).
    void fitGo();

    LazyWebView* view_;
    QLineEdit* addressBox_ = nullptr;
    QPushButton* go_ = nullptr;
};

} // namespace tally
