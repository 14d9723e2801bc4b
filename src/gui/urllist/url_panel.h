// The URL panel (object name "Frame1", "URLs"): the URL list ("List1"), its four buttons and its
// context menu ("mnuURL"). It carries every command of the URL list; the main window's File menu
// calls the same slots. It can keep the list in a file from one session to the next.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QAction;
class QListWidget;
class QMenu;
class QPushButton;
class QTimer;

namespace tally {

class UrlPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit UrlPanel(QWidget* parent = nullptr);

    // Its designed width, or more where its buttons' captions need it; never less (the split
    // beside it can make it wider only).
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QListWidget* list() const { return list_; }

    // The entries in list order.
    QStringList urls() const;
    int count() const;
    // Appends entries as they are.
    void appendUrls(const QStringList& urls);

    // Keeps the list in a list file from one session to the next: the file's entries are
    // appended now, and from then on every change of the list replaces the file (once the
    // changes made together are done, on the event loop) and so does keepNow(). A file that
    // cannot be read or written is reported, once.
    void rememberIn(const QString& file);
    // Writes a change not written yet (the window closes).
    void keepNow();
    // The file the list is kept in; empty when it is not kept.
    QString rememberedIn() const { return rememberedIn_; }

Q_SIGNALS:
    // An entry was added, removed or changed.
    void urlsChanged();

public Q_SLOTS:
    // Add one URL: "Please enter a URL" with "http://" prefilled; appended when longer than 7.
    void addUrl();
    // Removes the selected entry and selects its successor.
    void deleteSelected();
    // Asks "This will delete all the URLs, Continue?" and empties the list on Yes.
    void clearList();
    // Appends the entries of a list file chosen in the open dialog.
    void loadListFile();
    // Appends the clipboard's lines, each through NormalizeImportedUrl.
    void loadClipboard();
    // Writes the list to a file chosen in the save dialog (".txt" added when missing).
    void saveListFile();
    // Sets the context menu's enabled states and pops it up at globalPos (without blocking).
    void showContextMenu(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* list_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* deleteAction_ = nullptr;
    QAction* saveAction_ = nullptr;
    QString rememberedIn_;
    QTimer* keepTimer_ = nullptr;
    bool keepFailed_ = false;
};

} // namespace tally
