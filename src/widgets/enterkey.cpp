#include <widgets/enterkey.h>

#include <QKeyEvent>
#include <QWidget>

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

} // namespace lexordo
