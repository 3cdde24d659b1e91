#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>

class QWidget;

namespace lexordo {

// A page view failed to do what it was asked (no earlier page to go back to,
// an address that is no address).
class PageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// What the browser window asks of the web page view that it shows. The
// program puts the real web engine behind it; tests put a double.
class PageView : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The widget that shows the page.
    virtual QWidget *widget() = 0;

    virtual void navigate(const QString &address) = 0; // throws PageError
    // False, and nothing happens, when there is no earlier (later) page.
    virtual bool goBack() = 0;
    virtual bool goForward() = 0;
    virtual void stop() = 0;
    virtual void refresh() = 0;

    virtual QString title() const = 0;
    virtual QString address() const = 0;
    virtual bool isBusy() const = 0;

signals:
    // A page has begun to load (asked for, or by a link in the page).
    void navigationStarted();
    // A navigation has ended on the page at `address`.
    void navigationComplete(const QString &address);
    // The page has finished loading, or what it shows has changed its title.
    void downloadComplete();
    // The page at `address` could not be loaded, for `reason`.
    void navigationFailed(const QString &address, const QString &reason);
};

} // namespace lexordo
