#include "qtmessenger.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

namespace lexordo {

Messenger::Answer QtMessenger::message(const QString &text, Buttons buttons, Icon icon)
{
    QMessageBox box(QApplication::activeWindow());
    // Message boxes carry no title of their own: the program's name stands there.
    box.setWindowTitle(QApplication::applicationDisplayName());
    box.setText(text);
    switch (icon) {
    case Icon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
    }
}

std::optional<QString> QtMessenger::input(const QString &prompt, const QString &title,
                                          const QString &initialText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(
        QApplication::activeWindow(),
        title.isEmpty() ? QApplication::applicationDisplayName() : title, prompt,
        QLineEdit::Normal, initialText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

} // namespace lexordo
