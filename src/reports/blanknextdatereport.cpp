#include "blanknextdatereport.h"
#include "ui_blanknextdatereport.h"

#include "enterkey.h"
#include "runtime/reportwindow.h"

#include <data/forms/screenhost.h>
#include <data/clock.h>
#include <data/dates.h>

namespace lexordo {

BlankNextDateReport::BlankNextDateReport(QWidget *parent)
    : QWidget(parent), ui(new Ui::BlankNextDateReport), m_run(HearingsByDate::Kind::BlankNextDates)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->txtDate2->setText(dates::format(Clock::today()));

    connect(ui->cmdshowrepo, &QPushButton::clicked, this, &BlankNextDateReport::showReport);
    connect(ui->cmdexit, &QPushButton::clicked, this,
            [this] { closeScreen(this); });
    onEnterKey(ui->txtDate1, [this] { showReport(); });
}

BlankNextDateReport::~BlankNextDateReport()
{
    delete ui;
}

void BlankNextDateReport::showReport()
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
