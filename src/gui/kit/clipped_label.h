// A label for a fixed-width place, such as a status bar panel: a text too long for the label is cut
// off, and its tooltip then shows the whole text. A tooltip set on the label takes precedence.
#pragma once

#include <QLabel>

namespace tally {

class ClippedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClippedLabel(QWidget* parent = nullptr);

    // Whether the text is wider than the room the label gives it.
    bool isClipped() const;

protected:
    bool event(QEvent* event) override;
};

} // namespace tally
