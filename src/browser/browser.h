#pragma once

#include <QWidget>

class QAction;
class QTimer;

namespace Ui {
class Browser;
}

namespace lexordo {

class PageView;

// `frmBrowser`: a small web browser inside the main window. The address box
// keeps the addresses visited, newest first and each once; the window title
// follows the page's title, and reads "Working..." while a page loads.
class Browser : public QWidget
{
    Q_OBJECT

public:
    static inline const QString startAddress = QStringLiteral("about:blank");
    static inline const QString workingTitle = QStringLiteral("Working...");

    // With the web engine's page view.
    explicit Browser(QWidget *parent = nullptr);
    // With the page view given; the window takes it over.
    explicit Browser(PageView *view, QWidget *parent = nullptr);
    ~Browser() override;

    PageView *pageView() const { return m_view; }
    QTimer *busyTimer() const { return m_timer; }
    bool suppressed() const { return m_suppress; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void addressEntered();
    void navigationComplete(const QString &address);
    void showPageTitle();
    void showProblem(const QString &address, const QString &reason);
    void tick();
    void toolbarPressed(QAction *key);

    Ui::Browser *ui;
    PageView *m_view;
    QTimer *m_timer;
    bool m_suppress = false;   // set while the program itself rewrites the address list
    bool m_listChoice = false; // an entry of the list is being chosen
    bool m_placed = false;
};

} // namespace lexordo
