#include "support/scripted_prompts.h"

namespace tally::test {

ScriptedPrompts::ScriptedPrompts() {
    Prompts::setInstance(this);
}

ScriptedPrompts::~ScriptedPrompts() {
    Prompts::setInstance(nullptr);
}

QStringList ScriptedPrompts::messages() const {
    QStringList texts;
    for (const Call& c : calls)
        if (c.kind == QLatin1String("msgBox"))
            texts << c.text;
    return texts;
}

QMessageBox::StandardButton ScriptedPrompts::msgBox(QWidget*, const QString& text,
                                                    const QString& title, QMessageBox::Icon icon,
                                                    QMessageBox::StandardButtons buttonSet,
                                                    QMessageBox::StandardButton defaultButton) {
    calls.append({QStringLiteral("msgBox"), text, title, icon, buttonSet, {}, {}});
    return buttons.isEmpty() ? defaultButton : buttons.dequeue();
}

std::optional<QString> ScriptedPrompts::inputBox(QWidget*, const QString& prompt,
                                                 const QString& title, const QString& defaultText) {
    calls.append(
        {QStringLiteral("inputBox"), prompt, title, QMessageBox::NoIcon, {}, {}, defaultText});
    return inputs.isEmpty() ? std::nullopt : inputs.dequeue();
}

QString ScriptedPrompts::openFileName(QWidget*, const QString& caption, const QString& folder,
                                      const QString& filter) {
    calls.append(
        {QStringLiteral("openFile"), caption, {}, QMessageBox::NoIcon, {}, folder, filter});
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompts::saveFileName(QWidget*, const QString& caption, const QString& folder,
                                      const QString& filter, const QString&) {
    calls.append(
        {QStringLiteral("saveFile"), caption, {}, QMessageBox::NoIcon, {}, folder, filter});
    return files.isEmpty() ? QString() : files.dequeue();
}

} // namespace tally::test
