// The splash window (object name "frmSplash"): the program's first window.
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QTimer;

namespace tally {

class MainWindow;

// Switches the skin on or off for the run, shows the splash picture for a moment, then opens the
// main window once and hides itself. It stays loaded, hidden, for the rest of the run, and owns
// the main window.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // How long the picture shows before the main window opens.
    static constexpr int DelayMs = 1200;

    // Loads the window and starts its delay. `skinning`: whether the windows are skinned.
    explicit SplashWindow(int delayMs = DelayMs, bool skinning = true, QWidget* parent = nullptr);
    ~SplashWindow() override;

    // The main window once opened, else nullptr.
    MainWindow* mainWindow() const;
    // The saved search whose history the main window opens at (tallyscope --history NAME).
    void setHistoryToShow(const QString& name) { historyToShow_ = name; }

public Q_SLOTS:
    // The end of the delay: opens the main window (only the first time) and hides the splash.
    void openMainWindow();

private:
    void load(bool skinning);

    QLabel* picture_ = nullptr;
    QTimer* delay_ = nullptr;
    QPointer<MainWindow> mainWindow_;
    bool opened_ = false;
    QString historyToShow_;
};

} // namespace tally
