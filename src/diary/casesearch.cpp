#include "casesearch.h"

#include "casediary.h"
#include "ui_casesearch.h"

#include <data/dates.h>
#include <data/filter.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <optional>
#include <QRadioButton>
#include <widgets/enterkey.h>
#include <widgets/guard.h>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>

namespace lexordo {

namespace {

enum Option { NextDate, CurrentDate, Parties, CaseNo, BlankNextDates };

// One row for each option button, in the order shown; the last hands over
// to another screen and asks nothing.
const QList<SearchOption> options{
    {"ndate", "Enter the Next Date to be Searched", "Finding The Record"},
    {"cdate", "Enter the current Date to be Searched", "Finding The Record by Cuurent Date"},
    {"Party1", "Enter the Name of the party to be Searched", "Finding The Record"},
    {"caseno", "Enter the Case no. to be Searched", "Finding The Record"},
    {},
};

} // namespace

CaseSearch::CaseSearch(QWidget *parent) : SearchScreen(parent), ui(new Ui::CaseSearch)
{
    ui->setupUi(this);
    setUpSearch(ui->cmdOK, ui->cmdCancel, options);
}

CaseSearch::~CaseSearch()
{
    delete ui;
}

void CaseSearch::search()
{
    const int option = chosenIndex();
    if (option == BlankNextDates) {
        // This screen stays open; the range search closes both.
        if (ScreenHost *host = ScreenHost::current())
            host->openScreen(screens::searchNextBlank);
        return;
    }

    const QString column = chosen().column;
    const std::optional<QString> answer = askChosen();
    if (!answer)
        return;

    Filter filter;
    switch (option) {
    case NextDate:
    case CurrentDate: {
        // A text that is no date must not leave the register looking like one
        // day's hearings when it is not.
        const std::optional<QDate> day = dates::parse(*answer);
        if (!day) {
            showMessage(dates::enterDateMessage);
            return;
        }
        filter = Filter(column, Filter::Op::Equal, *day);
        break;
    }
    case Parties:
        // Anywhere in the first party's name; the second party is not looked at.
        filter = Filter(column, Filter::Op::Contains, *answer);
        break;
    case CaseNo:
        filter = Filter(column, Filter::Op::Equal, *answer);
        break;
    }

    CaseDiary *caseRegister = CaseDiary::open();
    if (!caseRegister)
        return;
    // Read afresh, so that the search sees what another program stored, and in
    // the diary's own order.
    caseRegister->diary()->requery(filter);
    caseRegister->showMaximizedInFront();
}

} // namespace lexordo
