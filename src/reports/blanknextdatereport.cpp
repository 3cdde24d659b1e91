#include "blanknextdatereport.h"

#include "ui_blanknextdatereport.h"

namespace lexordo {

BlankNextDateReport::BlankNextDateReport(QWidget *parent)
    : HearingsByDateScreen(HearingsByDate::Kind::BlankNextDates, parent),
      ui(new Ui::BlankNextDateReport)
{
    ui->setupUi(this);
    wire(ui->txtDate1, ui->txtDate2, ui->txtHdays, ui->cmdshowrepo, ui->cmdexit);
}

BlankNextDateReport::~BlankNextDateReport()
{
    delete ui;
}

} // namespace lexordo
