#include "feestatementscreen.h"

#include "accountsreports.h"
#include "accountsstore.h"
#include "ui_feestatementscreen.h"

#include <data/clock.h>
#include <data/dates.h>
#include <widgets/enterkey.h>
#include <widgets/guard.h>
#include <widgets/screenhost.h>

namespace lexordo {

FeeStatementScreen::FeeStatementScreen(QWidget *parent)
    : QWidget(parent), ui(new Ui::FeeStatementScreen)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    guardAction([this] { ui->txtname->addItems(AccountsStore::clientNames()); });
    ui->txtname->setEditText(QString());
    ui->txtDate2->setText(dates::format(Clock::today()));
    connect(ui->cmdshowrepo, &QAbstractButton::clicked, this, &FeeStatementScreen::showReport);
    connect(ui->cmdexit, &QAbstractButton::clicked, this, [this] { closeScreen(this); });
    onEnterKey(ui->txtDate1, [this] { showReport(); });
}

FeeStatementScreen::~FeeStatementScreen()
{
    delete ui;
}

void FeeStatementScreen::showReport()
{
    std::optional<AccountsReport> statement =
        feeStatement(ui->txtname->currentText(), ui->txtDate1->text(), ui->txtDate2->text());
    if (!statement)
        return;
    m_report = report::ReportWindow::open(statement->layout, std::move(statement->data));
    m_report->closeOnRelease(this);
}

} // namespace lexordo
