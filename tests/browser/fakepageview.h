#pragma once

#include <browser/pageview.h>
#include <QStringList>
#include <QWidget>

namespace lexordo::test {

// A page view that loads nothing: it records what the browser asks of it,
// keeps a history as a web view would, and sends its events when told.
class FakePageView : public PageView
{
public:
    FakePageView() : m_widget(new QWidget) {}
    ~FakePageView() override
    {
        if (!m_widget->parent())
            delete m_widget;
    }

    QWidget *widget() override { return m_widget; }

    void navigate(const QString &address) override
    {
        if (address.contains(u' '))
            throw PageError("That is not a web address.");
        navigations << address;
        busy = true;
    }
    bool goBack() override
    {
        if (m_position <= 0)
            return false;
        ++backs;
        load(m_history.at(--m_position), false);
        return true;
    }
    bool goForward() override
    {
        if (m_position + 1 >= m_history.size())
            return false;
        load(m_history.at(++m_position), false);
        return true;
    }
    void stop() override
    {
        ++stops;
        busy = false;
    }
    void refresh() override { ++refreshes; }

    QString title() const override { return pageTitle; }
    QString address() const override
    {
        return m_position >= 0 ? m_history.at(m_position) : QString();
    }
    bool isBusy() const override { return busy; }

    // The page at `address` has loaded, with its title.
    void complete(const QString &address, const QString &title)
    {
        m_history = m_history.mid(0, m_position + 1);
        m_history << address;
        m_position = int(m_history.size()) - 1;
        pageTitle = title;
        busy = false;
        emit navigationComplete(address);
        emit downloadComplete();
    }
    // The page has begun to load on its own (a link was followed).
    void start()
    {
        busy = true;
        emit navigationStarted();
    }
    void retitle(const QString &title)
    {
        pageTitle = title;
        emit downloadComplete();
    }

    QStringList navigations;
    int backs = 0;
    int stops = 0;
    int refreshes = 0;
    bool busy = false;
    QString pageTitle;

private:
    void load(const QString &address, bool)
    {
        pageTitle = address;
        emit navigationComplete(address);
        emit downloadComplete();
    }

    QWidget *m_widget;
    QStringList m_history;
    int m_position = -1;
};

} // namespace lexordo::test
