#include "qtmessenger.h"

#include <memory>
#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>

namespace lexordo {

namespace {

// While a box is open, keys meant for a window behind it (typed ahead by a
// quick clerk while the box was opening) go to the box instead: they answer
// it or are dropped, never typed into a field the user cannot see.
class KeysToTheBox : public QObject
{
public:
    KeysToTheBox() { qApp->installEventFilter(this); }
    ~KeysToTheBox() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
            type != QEvent::ShortcutOverride)
            return false;
        QWidget *box = QApplication::activeModalWidget();
        auto *receiver = qobject_cast<QWidget *>(watched);
        if (!box || !receiver || receiver == box || box->isAncestorOf(receiver))
            return false;
        if (type != QEvent::ShortcutOverride) {
            QWidget *target = box->focusWidget() ? box->focusWidget() : box;
            const std::unique_ptr<QEvent> copy(event->clone());
            QCoreApplication::sendEvent(target, copy.get());
        }
        return true;
    }
};

// A box is as large as its text, whatever state the windows behind it are in.
void keepSmall(QDialog &box)
{
    box.setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    box.setWindowFlag(Qt::WindowMinimizeButtonHint, false);
    box.setWindowState(Qt::WindowNoState);
}

// About this many lines of text, as the box wraps them, fit any screen.
constexpr int linesThatFit = 20;
constexpr qsizetype charactersInALine = 80;

bool fitsInTheBox(const QString &text)
{
    int lines = 0;
    for (const QStringView line : QStringView(text).split(u'\n'))
        lines += 1 + int(line.size() / charactersInALine);
    return lines <= linesThatFit;
}

// A long text (a list of wrong lines, say) would make the box taller than
// the screen, its buttons out of reach: its first line stands in the box and
// the whole text scrolls in the detail area beneath, open from the start.
void putText(QMessageBox &box, const QString &text)
{
    if (fitsInTheBox(text)) {
        box.setText(text);
        return;
    }
    QString first = text.section(u'\n', 0, 0);
    if (first.size() > 3 * charactersInALine)
        first = first.left(3 * charactersInALine - 1) + QChar(0x2026);
    box.setText(first);
    box.setDetailedText(text);
    for (QAbstractButton *button : box.buttons()) {
        if (box.buttonRole(button) == QMessageBox::ActionRole)
            button->click(); // "Show Details..."
    }
}

// Once the box is gone the keyboard goes back to the window it came from,
// whatever window the window manager would pick.
class KeyboardBack
{
public:
    explicit KeyboardBack(QWidget *window) : m_window(window) {}
    ~KeyboardBack()
    {
        if (m_window && m_window->isVisible())
            m_window->activateWindow();
    }

private:
    QPointer<QWidget> m_window;
};

} // namespace

Messenger::Answer QtMessenger::message(const QString &text, Buttons buttons, Icon icon,
                                       Default defaultButton)
{
    QMessageBox box(QApplication::activeWindow());
    keepSmall(box);
    // Message boxes carry no title of their own: the program's name stands there.
    box.setWindowTitle(QApplication::applicationDisplayName());
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
    if (defaultButton == Default::Cautious) {
        switch (cautiousAnswer(buttons)) {
        case Answer::No:
            box.setDefaultButton(QMessageBox::No);
            break;
        case Answer::Cancel:
            box.setDefaultButton(QMessageBox::Cancel);
            break;
        case Answer::Ok:
        case Answer::Yes:
            break;
        }
    }
    putText(box, text);
    const KeysToTheBox keys;
    const KeyboardBack back(box.parentWidget());
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
    QInputDialog box(QApplication::activeWindow());
    keepSmall(box);
    box.setWindowTitle(title.isEmpty() ? QApplication::applicationDisplayName() : title);
    box.setLabelText(prompt);
    box.setInputMode(QInputDialog::TextInput);
    box.setTextValue(initialText);
    const KeysToTheBox keys;
    const KeyboardBack back(box.parentWidget());
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

} // namespace lexordo
