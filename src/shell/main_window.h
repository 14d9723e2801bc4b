// The main window (Form1).
#pragma once

#include <QMainWindow>

namespace tally {

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

protected:
    void closeEvent(QCloseEvent* event) override;
};

} // namespace tally
