// The splash window (SplashWindow): the program's first window.
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QTimer;

namespace tally {

class MainWindow;

// Sets up the display strings and the skin, shows the splash picture for a moment, then opens
// the main window once and hides itself. It stays loaded, hidden, for the rest of the run.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // How long the picture shows before the main window opens.
    static constexpr int DelayMs = 1200;

    // Loads the window and starts its delay. `skinning` is the value the skinning switch gets.
    explicit SplashWindow(int delayMs = DelayMs, bool skinning = true, QWidget* parent = nullptr);
    ~SplashWindow() override;

    // The main window once opened, else nullptr.
    MainWindow* mainWindow() const;

public slots:
    // The end of the delay: opens the main window (only the first time) and hides the splash.
    void Timer2_Timer();

private:
    void Form_Load(bool skinning);

    QLabel* Image1 = nullptr;
    QTimer* Timer2 = nullptr;
    QPointer<MainWindow> form1_;
    bool opened_ = false;
};

} // namespace tally
