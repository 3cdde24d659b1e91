#include "nextdatereport.h"

#include "diarylayouts.h"
#include "ui_nextdatereport.h"

#include <widgets/enterkey.h>
#include "runtime/reportwindow.h"

#include <widgets/screenhost.h>
#include <data/clock.h>
#include <data/dates.h>

namespace lexordo {

NextDateReport::NextDateReport(QWidget *parent) : QWidget(parent), ui(new Ui::NextDateReport)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->txtdate1->setText(dates::format(Clock::today()));

    connect(ui->cmdChangedate, &QPushButton::clicked, this, &NextDateReport::changeDate);
    connect(ui->cmdshowrepo, &QPushButton::clicked, this, &NextDateReport::showReport);
    connect(ui->cmdexit, &QPushButton::clicked, this,
            [this] { closeScreen(this); });
    onEnterKey(ui->txtdate1, [this] { showReport(); });
}

NextDateReport::~NextDateReport()
{
    delete ui;
}

void NextDateReport::changeDate()
{
    ui->txtdate1->setReadOnly(false);
    ui->txtdate1->setFocus();
    ui->txtdate1->selectAll();
}

void NextDateReport::showReport()
{
    askAdvocateNameOnce();
    QString note;
    std::optional<PreparedReport> prepared = m_run.run(ui->txtdate1->text(), note);
    ui->txtHdays->setText(note);
    if (!prepared)
        return;
    report::ReportWindow::open(prepared->layout, std::move(prepared->data));
    closeScreen(this);
}

} // namespace lexordo
