#include "searchnextblank.h"

#include "casediary.h"
#include "ui_searchnextblank.h"

#include <data/clock.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/filter.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <widgets/enterkey.h>
#include <widgets/guard.h>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>

namespace lexordo {

SearchNextBlank::SearchNextBlank(QWidget *parent)
    : SearchScreen(parent), ui(new Ui::SearchNextBlank)
{
    ui->setupUi(this);
    ui->txtDate2->setText(dates::format(Clock::today()));
    setUpSearch(ui->cmdshowrepo, ui->cmdexit);
    onEnterKey(ui->txtDate1, [this] { ui->cmdshowrepo->click(); });
}

SearchNextBlank::~SearchNextBlank()
{
    delete ui;
}

void SearchNextBlank::search()
{
    auto finish = [this] {
        if (ScreenHost *host = ScreenHost::current())
            closeScreen(host->findScreen(screens::caseSearch));
        if (CaseDiary *caseRegister = CaseDiary::find())
            caseRegister->showMaximizedInFront();
        closeScreen(this);
    };

    const std::optional<QDate> from = dates::parse(ui->txtDate1->text().trimmed());
    if (!from) {
        showMessage(dates::enterDateMessage);
        finish();
        return;
    }

    try {
        CaseDiary *caseRegister = CaseDiary::open();
        if (!caseRegister)
            return;
        RecordSet *diary = caseRegister->diary();
        diary->setFilter(
            Filter(QStringLiteral("cdate"), Filter::Op::GreaterOrEqual, *from)
                .andWhere(QStringLiteral("cdate"), Filter::Op::LessOrEqual, ui->txtDate2->text())
                .andWhere(QStringLiteral("ndate"), Filter::Op::IsNull));
        if (diary->rowCount() < 1) {
            // The filter stays: the register shows no rows.
            showMessage(QStringLiteral(
                "No Record having blank dates in These Date Range Found, Try Again!!"));
        }
        finish();
    } catch (const DataError &e) {
        showMessage(e.description());
        closeScreen(this);
    }
}

} // namespace lexordo
