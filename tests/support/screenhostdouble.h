#pragma once

// A stand-in for the main window: opens screens by name from the factories
// a test gives it, as the menu does, and counts what was asked and made.

#include <functional>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <widgets/screenhost.h>

namespace lexordo::test {

class ScreenHostDouble : public ScreenHost
{
public:
    ScreenHostDouble() { ScreenHost::setCurrent(this); }
    ~ScreenHostDouble() override
    {
        ScreenHost::setCurrent(nullptr);
        for (const QPointer<QWidget> &screen : std::as_const(m_open))
            delete screen.data();
    }

    void add(const QString &name, std::function<QWidget *()> factory)
    {
        m_factories.insert(name, std::move(factory));
    }

    QWidget *openScreen(const QString &name) override
    {
        ++m_requests[name];
        if (QWidget *open = findScreen(name))
            return open;
        if (!m_factories.contains(name))
            return nullptr;
        QWidget *screen = m_factories[name]();
        screen->setAttribute(Qt::WA_DeleteOnClose);
        m_open.insert(name, screen);
        ++m_made[name];
        screen->show();
        return screen;
    }

    // Opens a screen on a value, as the main window is wired to.
    void addOpener(const QString &name, std::function<QWidget *(const QVariant &)> opener)
    {
        m_openers.insert(name, std::move(opener));
    }

    QWidget *openScreen(const QString &name, const QVariant &argument) override
    {
        return m_openers.contains(name) ? m_openers[name](argument) : nullptr;
    }

    QWidget *findScreen(const QString &name) const override
    {
        const QPointer<QWidget> screen = m_open.value(name);
        return screen && screen->isVisible() ? screen.data() : nullptr;
    }

    int timesMade(const QString &name) const { return m_made.value(name); }
    int timesAsked(const QString &name) const { return m_requests.value(name); }

private:
    QHash<QString, std::function<QWidget *()>> m_factories;
    QHash<QString, std::function<QWidget *(const QVariant &)>> m_openers;
    QHash<QString, QPointer<QWidget>> m_open;
    QHash<QString, int> m_made;
    QHash<QString, int> m_requests;
};

} // namespace lexordo::test
