#pragma once

// A stand-in for the main window: opens the registers and their search
// screens by name, as the menu does, and finds the report windows opened.

#include <functional>
#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QWidget>
#include <reports/runtime/reportwindow.h>
#include <widgets/screenhost.h>

namespace lexordo::test {

class RegistersHost : public ScreenHost
{
public:
    RegistersHost() { ScreenHost::setCurrent(this); }
    ~RegistersHost() override
    {
        ScreenHost::setCurrent(nullptr);
        for (const QPointer<QWidget> &screen : std::as_const(m_open))
            delete screen.data();
        closeReports();
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

    QWidget *findScreen(const QString &name) const override
    {
        const QPointer<QWidget> screen = m_open.value(name);
        return screen && screen->isVisible() ? screen.data() : nullptr;
    }

    int timesMade(const QString &name) const { return m_made.value(name); }
    int timesAsked(const QString &name) const { return m_requests.value(name); }

    static QList<report::ReportWindow *> reports(const QString &layoutName)
    {
        QList<report::ReportWindow *> found;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<report::ReportWindow *>(w);
            if (window && window->isVisible() && window->layoutName() == layoutName)
                found << window;
        }
        return found;
    }

    static void closeReports()
    {
        // Deleting one window may take another with it.
        QList<QPointer<QWidget>> windows;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<report::ReportWindow *>(w))
                windows << w;
        }
        for (const QPointer<QWidget> &w : std::as_const(windows))
            delete w.data();
    }

private:
    QHash<QString, std::function<QWidget *()>> m_factories;
    QHash<QString, QPointer<QWidget>> m_open;
    QHash<QString, int> m_made;
    QHash<QString, int> m_requests;
};

} // namespace lexordo::test
