#include "gui/kit/prompts.h"

#include "core/product/product.h"

#include <QDir>

#include <QFileDialog>
#include <QInputDialog>

namespace tally {

namespace {
Prompts*& installed() {
    static Prompts* prompts = nullptr;
    return prompts;
}
} // namespace

Prompts& Prompts::instance() {
    static DialogPrompts real;
    return installed() ? *installed() : real;
}

void Prompts::setInstance(Prompts* prompts) {
    installed() = prompts;
}

void Prompts::message(QWidget* parent, const QString& text, const QString& title,
                      QMessageBox::Icon icon) {
    instance().msgBox(parent, text, title, icon, QMessageBox::Ok, QMessageBox::Ok);
}

QString Prompts::fileProblemText(const QString& what, const QString& file, const QString& reason) {
    return QStringLiteral("%1\n%2\n\n%3.").arg(what, QDir::toNativeSeparators(file), reason);
}

void Prompts::fileProblem(QWidget* parent, const QString& what, const QString& file,
                          const QString& reason, const QString& title) {
    message(parent, fileProblemText(what, file, reason), title.isEmpty() ? product().name : title,
            QMessageBox::Warning);
}

bool Prompts::askYesNo(QWidget* parent, const QString& text, const QString& title,
                       QMessageBox::Icon icon) {
    return instance().msgBox(parent, text, title, icon, QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::Yes) == QMessageBox::Yes;
}

QMessageBox::StandardButton DialogPrompts::msgBox(QWidget* parent, const QString& text,
                                                  const QString& title, QMessageBox::Icon icon,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton) {
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QString> DialogPrompts::inputBox(QWidget* parent, const QString& prompt,
                                               const QString& title, const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString DialogPrompts::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

QString DialogPrompts::saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                    const QString& filter, const QString& defaultSuffix) {
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace tally
