// The main window's hint bar (object name "barSourcesHint"), like a browser's notification bar:
// one line saying that the built-in engines no longer report link counts, a button that opens the
// Sources window and a close button. It never takes the focus; Esc closes it while the focus is
// in it. Screen readers hear it as an alert when it shows.
#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace tally {

class SourcesHintBar : public QFrame {
    Q_OBJECT
public:
    explicit SourcesHintBar(QWidget* parent = nullptr);

    // Shows the bar and announces it.
    void offer();
    // Hides it for good (the focus handed on when it was in the bar), as its close button does.
    void dismiss();

Q_SIGNALS:
    // The user asked for the Sources window from the bar.
    void sourcesRequested();
    // The bar was closed (by its button or Esc) or followed: it is not to come back.
    void dismissed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* text_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* close_ = nullptr;
};

} // namespace tally
