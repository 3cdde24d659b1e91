#include "hearingsbydatescreen.h"

#include "diarylayouts.h"

#include <data/clock.h>
#include <data/dates.h>
#include <QAbstractButton>
#include <QLineEdit>
#include <widgets/enterkey.h>
#include <widgets/screenhost.h>

namespace lexordo {

HearingsByDateScreen::HearingsByDateScreen(HearingsByDate::Kind kind, QWidget *parent)
    : QWidget(parent), m_run(kind), m_causeList(kind == HearingsByDate::Kind::CurrentDates)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

void HearingsByDateScreen::wire(QLineEdit *from, QLineEdit *to, QLineEdit *holidayNote,
                                QAbstractButton *show, QAbstractButton *exit)
{
    m_from = from;
    m_to = to;
    m_holidayNote = holidayNote;
    to->setText(dates::format(Clock::today()));
    connect(show, &QAbstractButton::clicked, this, &HearingsByDateScreen::showReport);
    connect(exit, &QAbstractButton::clicked, this, [this] { closeScreen(this); });
    onEnterKey(from, [this] { showReport(); });
}

void HearingsByDateScreen::showReport()
{
    if (m_causeList)
        askAdvocateNameOnce();
    QString note;
    std::optional<PreparedReport> prepared = m_run.run(m_from->text(), m_to->text(), note);
    m_holidayNote->setText(note);
    if (!prepared)
        return;
    m_report = report::ReportWindow::open(prepared->layout, std::move(prepared->data));
    m_report->closeOnRelease(this);
}

} // namespace lexordo
