// A push button that shows its picture centred above its caption, like the tall buttons of the
// toolbar strip and the URL panel. Its text, icon, signals and accessibility are a QPushButton's.
#pragma once

#include <QPushButton>

namespace tally {

class PictureButton : public QPushButton {
    Q_OBJECT
public:
    explicit PictureButton(const QString& text, QWidget* parent = nullptr);

    // Room for the picture above the whole caption, in the button's font.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tally
