#pragma once

#include "reminderreport.h"

#include <functional>
#include <QWidget>

namespace Ui {
class ReminderWindow;
}

namespace lexordo {

// The reminder window `frmReminder`: today's reminders, up to nine, right
// after the login and on request. A click or Enter closes it, and closing it
// brings up the main window.
class ReminderWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ReminderWindow(QWidget *parent = nullptr); // reads today's reminders
    ~ReminderWindow() override;

    // The one reminder window: made and shown, or read afresh and brought forward.
    static ReminderWindow *open();
    static ReminderWindow *current();

    // What closing the window runs: the program brings up its main window.
    static void setOnClosed(std::function<void()> onClosed);

    const ReminderList &list() const { return m_list; }

    // "Print Reminder": closes the window and opens the reminder report.
    void printReminder();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void load();
    void showList();

    Ui::ReminderWindow *ui;
    ReminderList m_list;
    bool m_closed = false;
};

} // namespace lexordo
