// A test's hands inside a program it cannot link: a Qt generic plugin that the toolkit loads into
// any Qt program started with QT_PLUGIN_PATH pointing at this plugin's folder and
// QT_QPA_GENERIC_PLUGINS=tallydriver. The install test starts the installed tallyscope with it.
//
// It uses the program's windows as a user would, found by their object names, one step at a time
// on a timer: Options (Command6), the six prefixes set to $TALLY_DRIVER_SERVER's engine paths and
// Ok; the URL $TALLY_DRIVER_URL put in the list and Start; the row selected and Save Selected,
// saved under the name "installed"; the About window opened; then the main window closed. It
// writes what it saw to $TALLY_DRIVER_REPORT, one "key: value" line each: "help" when the help
// window appeared, "message" for every message box (closed at once), "data" the About window's
// data folder, "saved" once the save dialog closed, "done" at the end, or "timeout" and the step.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGenericPlugin>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

namespace {

QWidget* window(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            return w;
    return nullptr;
}

template <typename T> T* child(QWidget* parent, const char* name) {
    return parent ? parent->findChild<T*>(QLatin1String(name)) : nullptr;
}

class Driver : public QObject {
public:
    Driver() {
        clock_.start();
        connect(&timer_, &QTimer::timeout, this, &Driver::tick);
        timer_.start(50);
    }

private:
    void report(const QString& key, const QString& value = QString()) {
        QFile file(qEnvironmentVariable("TALLY_DRIVER_REPORT"));
        if (file.open(QIODevice::Append))
            file.write((key + QStringLiteral(": ") + value + QLatin1Char('\n')).toUtf8());
    }

    void tick() {
        // Whatever the step: message boxes are noted and closed, the help window noted once.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                report(QStringLiteral("message"), box->text().replace(QLatin1Char('\n'), u' '));
                box->done(QMessageBox::Cancel);
            }
        if (!helpSeen_ && window("Form8")) {
            helpSeen_ = true;
            report(QStringLiteral("help"), QStringLiteral("shown"));
        }
        if (clock_.elapsed() > 60000) {
            report(QStringLiteral("timeout"), QString::number(step_));
            timer_.stop();
            QCoreApplication::exit(9);
            return;
        }
        if (act())
            ++step_;
    }

    // One step; true when it is done.
    bool act() {
        QWidget* main = window("Form1");
        const QString server = qEnvironmentVariable("TALLY_DRIVER_SERVER");
        switch (step_) {
        case 0: // the main window is up: Options
            if (auto* options = child<QAbstractButton>(main, "Command6"))
                options->click();
            return window("Form2") != nullptr;
        case 1: { // the engines at the test's server, then Ok
            QWidget* dialog = window("Form2");
            const char* paths[] = {"/google", "/altavista", "/yahoo", "/ask", "/msn", "/atw"};
            for (int e = 0; e < 6; ++e)
                if (auto* box = child<QLineEdit>(dialog, QByteArray("Text") + char('1' + e)))
                    box->setText(server + QLatin1String(paths[e]) + QStringLiteral("?q=link:"));
            if (auto* ok = child<QAbstractButton>(dialog, "Command1"))
                ok->click();
            return true;
        }
        case 2: // the dialog has gone: the URL and Start
            if (window("Form2"))
                return false;
            report(QStringLiteral("options"), QStringLiteral("closed"));
            if (auto* list = child<QListWidget>(main, "List1"))
                list->addItem(qEnvironmentVariable("TALLY_DRIVER_URL"));
            if (auto* start = child<QAbstractButton>(main, "Command1"))
                start->click();
            return true;
        case 3: { // the scan is over: select the row, Save Selected
            auto* start = child<QAbstractButton>(main, "Command1");
            auto* table = child<QAbstractItemView>(main, "ListView1");
            QAbstractItemModel* model = table ? table->model() : nullptr;
            if (!start || !start->isEnabled() || !model || model->rowCount() != 1 ||
                model->index(0, 1).data().toString().isEmpty())
                return false;
            report(QStringLiteral("total"), model->index(0, 1).data().toString());
            table->setCurrentIndex(model->index(0, 0));
            // The dialog is modal: the click returns only when it closes, so it comes from a
            // timer of its own, and this one goes on ticking while the dialog is up.
            if (auto* save = child<QAbstractButton>(main, "Command4"))
                QTimer::singleShot(0, save, &QAbstractButton::click);
            return true;
        }
        case 4: { // in the save dialog: a new saved search named "installed"
            QWidget* dialog = window("Form5");
            auto* name = child<QLineEdit>(dialog, "Text1");
            auto* save = child<QAbstractButton>(dialog, "Command3");
            if (!name || !save)
                return false;
            name->setText(QStringLiteral("installed"));
            save->click();
            return true;
        }
        case 5: // saved: the About window
            if (window("Form5"))
                return false;
            report(QStringLiteral("saved"), QStringLiteral("closed"));
            if (auto* about = child<QAction>(main, "mnuAbout"))
                about->trigger();
            return window("frmAbout") != nullptr;
        case 6: // its data folder, then the end
            if (auto* data = child<QLabel>(window("frmAbout"), "lblDataFolder"))
                report(QStringLiteral("data"), data->text());
            report(QStringLiteral("done"));
            timer_.stop();
            if (main)
                main->close();
            return true;
        default:
            return false;
        }
    }

    QTimer timer_;
    QElapsedTimer clock_;
    int step_ = 0;
    bool helpSeen_ = false;
};

} // namespace

class WindowDriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "window_driver.json")
public:
    QObject* create(const QString&, const QString&) override { return new Driver; }
};

#include "window_driver.moc"
