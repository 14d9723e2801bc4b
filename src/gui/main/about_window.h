// The About window (object name "frmAbout"): product name, version, maker, web site and the
// folder that holds the user's data.
#pragma once

#include "core/product/product.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tally {

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    // Loads the window from the product's information.
    explicit AboutWindow(const ProductInfo& info = product(), QWidget* owner = nullptr);

Q_SIGNALS:
    // The web site was clicked: the owner opens its browser window.
    void websiteRequested();

private:
    void load(const ProductInfo& info);

    QLabel* logo_ = nullptr;
    QLabel* nameLabel_ = nullptr;
    QLabel* versionCaption_ = nullptr;
    QLabel* ownerCaption_ = nullptr;
    QLabel* websiteCaption_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    QLabel* companyLabel_ = nullptr;
    QLabel* websiteLink_ = nullptr;
    QLabel* dataCaption_ = nullptr;
    QLabel* dataFolder_ = nullptr; // the program folder: where the user's data lives
    QPushButton* okButton_ = nullptr;
};

} // namespace tally
