#include "casesummary.h"

#include "casereport.h"
#include "runtime/reportwindow.h"
#include "ui_casesummary.h"

#include <widgets/enterkey.h>
#include <widgets/screenhost.h>

namespace lexordo {

CaseSummary::CaseSummary(QWidget *parent) : QWidget(parent), ui(new Ui::CaseSummary)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);

    connect(ui->cmdshowrepo, &QPushButton::clicked, this, &CaseSummary::showReport);
    connect(ui->cmdexit, &QPushButton::clicked, this, [this] { closeScreen(this); });
    onEnterKey(ui->txtName, [this] { showReport(); });
}

CaseSummary::~CaseSummary()
{
    delete ui;
}

void CaseSummary::showReport()
{
    if (showCaseReport(CaseCriterion::CaseNo, ui->txtName->text()))
        closeScreen(this);
}

} // namespace lexordo
