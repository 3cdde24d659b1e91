#include "currentdatereport.h"

#include "ui_currentdatereport.h"

#include <widgets/enterkey.h>

namespace lexordo {

CurrentDateReport::CurrentDateReport(QWidget *parent)
    : HearingsByDateScreen(HearingsByDate::Kind::CurrentDates, parent),
      ui(new Ui::CurrentDateReport)
{
    ui->setupUi(this);
    wire(ui->txtDate1, ui->txtDate2, ui->txtHdays, ui->cmdshowrepo, ui->cmdexit);
    // Here Enter in the last date runs the report too.
    onEnterKey(ui->txtDate2, [this] { showReport(); });
}

CurrentDateReport::~CurrentDateReport()
{
    delete ui;
}

} // namespace lexordo
