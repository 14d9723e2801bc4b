// The URL panel (object name "Frame1", "URLs"): the URL list ("List1"), its four buttons and its
// context menu
// ("mnuURL"). It carries every command of the URL list; the main window's File menu calls the same
// slots.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QAction;
class QListWidget;
class QMenu;
class QPushButton;

namespace tally {

class UrlPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit UrlPanel(QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }

    // The entries in list order.
    QStringList urls() const;
    int count() const;
    // Appends entries as they are.
    void appendUrls(const QStringList& urls);

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
};

} // namespace tally
