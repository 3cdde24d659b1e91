#include "currentdatereport.h"
#include "ui_currentdatereport.h"

#include "enterkey.h"
#include "runtime/reportwindow.h"

#include <data/forms/screenhost.h>
#include <data/clock.h>
#include <data/dates.h>

namespace lexordo {

CurrentDateReport::CurrentDateReport(QWidget *parent)
    : QWidget(parent), ui(new Ui::CurrentDateReport), m_run(HearingsByDate::Kind::CurrentDates)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->txtDate2->setText(dates::format(Clock::today()));

    connect(ui->cmdshowrepo, &QPushButton::clicked, this, &CurrentDateReport::showReport);
    connect(ui->cmdexit, &QPushButton::clicked, this,
            [this] { closeScreen(this); });
    onEnterKey(ui->txtDate1, [this] { showReport(); });
    onEnterKey(ui->txtDate2, [this] { showReport(); });
}

CurrentDateReport::~CurrentDateReport()
{
    delete ui;
}

void CurrentDateReport::showReport()
{
    QString note;
    std::optional<PreparedReport> prepared =
        m_run.run(ui->txtDate1->text(), ui->txtDate2->text(), note);
    ui->txtHdays->setText(note);
    if (!prepared)
        return;
    m_report = report::ReportWindow::open(prepared->layout, std::move(prepared->data));
    m_report->closeOnRelease(this);
}

} // namespace lexordo
