#include "screenhost.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>
#include <QWidget>
#include <widgets/enterkey.h>

namespace lexordo {

namespace {

class EnterKeyFilter : public QObject
{
public:
    EnterKeyFilter(QObject *parent, std::function<void()> action)
        : QObject(parent), m_action(std::move(action))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_action();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_action;
};

} // namespace

void onEnterKey(QWidget *field, std::function<void()> action)
{
    field->installEventFilter(new EnterKeyFilter(field, std::move(action)));
}

void pressButtonsOnEnter(QWidget *screen)
{
    // An "auto default" button presses itself on Enter when it has the focus;
    // a key handler of the screen's own (Enter on Save goes on to Add) still
    // comes first. Buttons of a dialog keep the dialog's own rules.
    const auto buttons = screen->findChildren<QPushButton *>();
    for (QPushButton *button : buttons) {
        if (!qobject_cast<QDialog *>(button->window()))
            button->setAutoDefault(true);
    }
}

void closeOnEscape(QWidget *screen)
{
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), screen);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(escape, &QShortcut::activated, screen, [screen] { closeScreen(screen); });
}

} // namespace lexordo
