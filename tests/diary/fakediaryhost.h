#pragma once

// A stand-in for the main window and the case register, so that the diary's
// smaller screens can be driven on their own.

#include <widgets/screenhost.h>
#include <data/recordset.h>
#include <diary/casediary.h>

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace lexordo::test {

class FakeCaseRegister : public QWidget, public CaseDiary
{
public:
    FakeCaseRegister()
        : m_diary(QStringLiteral("select * from advocate order by cdate, courtindex"))
    {
        setObjectName(CaseDiary::screenName);
        setAttribute(Qt::WA_DeleteOnClose);
    }

    RecordSet *diary() override { return &m_diary; }
    void showMaximizedInFront() override
    {
        ++m_maximized;
        showMaximized();
    }
    void refreshAtLastRow() override
    {
        ++m_refreshed;
        m_diary.requery();
        m_diary.moveLast();
    }

    int timesMaximized() const { return m_maximized; }
    int timesRefreshed() const { return m_refreshed; }

private:
    RecordSet m_diary;
    int m_maximized = 0;
    int m_refreshed = 0;
};

class FakeHost : public ScreenHost
{
public:
    FakeHost() { ScreenHost::setCurrent(this); }
    ~FakeHost() override
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
        if (QWidget *open = findScreen(name))
            return open;
        if (!m_factories.contains(name))
            return nullptr;
        QWidget *screen = m_factories[name]();
        screen->setAttribute(Qt::WA_DeleteOnClose);
        m_open.insert(name, screen);
        ++m_opened[name];
        screen->show();
        return screen;
    }

    QWidget *findScreen(const QString &name) const override
    {
        const QPointer<QWidget> screen = m_open.value(name);
        return screen && screen->isVisible() ? screen.data() : nullptr;
    }

    int timesOpened(const QString &name) const { return m_opened.value(name); }

    FakeCaseRegister *caseRegister() const
    {
        return dynamic_cast<FakeCaseRegister *>(findScreen(CaseDiary::screenName));
    }

private:
    QHash<QString, std::function<QWidget *()>> m_factories;
    QHash<QString, QPointer<QWidget>> m_open;
    QHash<QString, int> m_opened;
};

} // namespace lexordo::test
