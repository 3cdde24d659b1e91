#include "reminderwindow.h"

#include "ui_reminderwindow.h"

#include <data/clock.h>
#include <data/dates.h>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <widgets/guard.h>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>
#include <widgets/valuelabel.h>

static void initFormsResources()
{
    Q_INIT_RESOURCE(forms);
}

namespace lexordo {

namespace {
QPointer<ReminderWindow> s_open;
std::function<void()> s_onClosed;
} // namespace

ReminderWindow::ReminderWindow(QWidget *parent)
    : QWidget(parent, Qt::Window), ui(new Ui::ReminderWindow)
{
    initFormsResources();
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setObjectName(screens::reminder);
    setStyleSheet(QStringLiteral(
        "lexordo--ReminderWindow { background-image: url(:/forms/images/screen.png); }"));
    setFocusPolicy(Qt::StrongFocus);
    connect(ui->cmdshowrepo, &QPushButton::clicked, this,
            [this] { guardAction([this] { printReminder(); }); });
    load();
}

ReminderWindow::~ReminderWindow()
{
    delete ui;
}

ReminderWindow *ReminderWindow::open()
{
    if (s_open && !s_open->m_closed) {
        s_open->load();
    } else {
        s_open = new ReminderWindow;
        s_open->setAttribute(Qt::WA_DeleteOnClose);
    }
    s_open->show();
    s_open->raise();
    s_open->activateWindow();
    return s_open;
}

ReminderWindow *ReminderWindow::current()
{
    return s_open && !s_open->m_closed ? s_open.data() : nullptr;
}

void ReminderWindow::setOnClosed(std::function<void()> onClosed)
{
    s_onClosed = std::move(onClosed);
}

void ReminderWindow::load()
{
    m_list = ReminderList();
    m_list.date = dates::format(Clock::today());
    // A table that cannot be read is reported; the window still shows the day.
    guardAction([this] { m_list = ReminderList::forDay(Clock::today()); });
    showList();
}

void ReminderWindow::showList()
{
    showValue(ui->lblDate, m_list.date);
    for (int n = 1; n <= ReminderList::rows; ++n) {
        auto *time = findChild<QLabel *>(QStringLiteral("lblT%1").arg(n));
        auto *work = findChild<QLabel *>(QStringLiteral("lblW%1").arg(n));
        const bool filled = n <= m_list.times.size();
        showValue(time, filled ? m_list.times.at(n - 1) : QString());
        showValue(work, filled ? m_list.works.at(n - 1) : QString());
        time->setVisible(filled);
        work->setVisible(filled);
    }
    showValue(ui->lblMore, m_list.notShownText());
    ui->lblMore->setVisible(m_list.notShown > 0);
}

void ReminderWindow::printReminder()
{
    // The report reads the day afresh, as the window did when it opened.
    const ReminderList list = ReminderList::forDay(Clock::today());
    close();
    openReminderReport(list);
}

void ReminderWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_closed)
        return;
    m_closed = true;
    // The main window comes up before this one goes, so the program never
    // stands without a window.
    if (s_onClosed)
        guardAction(s_onClosed);
}

void ReminderWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape too: the clerk who dismisses any window with it is not kept here.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ReminderWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        close();
        return;
    }
    QWidget::mousePressEvent(event);
}

void ReminderWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    setFocus(Qt::OtherFocusReason);
}

} // namespace lexordo
