#include "rulingslibrary.h"

#include "registerreports.h"
#include "ui_rulingslibrary.h"

#include <data/messenger.h>
#include <reports/runtime/reportwindow.h>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>

namespace lexordo {

RulingsLibrary::RulingsLibrary(QWidget *parent) : RecordScreen(parent), ui(new Ui::RulingsLibrary)
{
    ui->setupUi(this);
    openRecordSet(RecordSource::table(QStringLiteral("CourtOrders")));
    bind(ui->txtSection, QStringLiteral("Section"));
    bind(ui->txtCitation, QStringLiteral("Citation"));
    bind(ui->txtCaseTitle, QStringLiteral("CaseTitle"));
    bind(ui->txtCourt, QStringLiteral("Court"));
    bind(ui->txtHnotes, QStringLiteral("HeadNotes"));
    setGrid(ui->DataGrid1, {{QStringLiteral("Section"), QStringLiteral("Section")},
                            {QStringLiteral("Citation"), QStringLiteral("Citation")},
                            {QStringLiteral("Court"), QStringLiteral("Court")},
                            {QStringLiteral("Case Title"), QStringLiteral("CaseTitle")}});

    onClicked(ui->cmdPrint, [this] { print(); });
    start(Start::AllEnabled);
    followChangesElsewhere(ui->lblChangedElsewhere);
}

RulingsLibrary::~RulingsLibrary()
{
    delete ui;
}

RulingTexts RulingsLibrary::shownTexts() const
{
    return {ui->txtSection->text(), ui->txtCitation->text(), ui->txtCourt->text(),
            ui->txtCaseTitle->text(), ui->txtHnotes->toPlainText()};
}

// A filter moves off the row, which would store a row half entered.
bool RulingsLibrary::readyToFilter()
{
    if (state() == State::Edit) {
        showMessage(QStringLiteral("Please save the ruling being entered before searching."));
        return false;
    }
    return storeTypedFields();
}

bool RulingsLibrary::showSection(const QString &section)
{
    if (!readyToFilter())
        return false;
    recordSet()->setFilter(Filter(QStringLiteral("Section"), Filter::Op::Equal, section));
    return true;
}

bool RulingsLibrary::search(const QString &column, const QString &text, bool rereadFirst)
{
    if (!readyToFilter())
        return false;
    if (rereadFirst)
        recordSet()->requery();
    recordSet()->setFilter(Filter(column, Filter::Op::Contains, text));
    return true;
}

// --- the steps of the register ---------------------------------------------------------

void RulingsLibrary::add()
{
    RecordScreen::add();
    if (state() == State::Edit)
        ui->txtSection->setFocus(Qt::OtherFocusReason);
}

void RulingsLibrary::modify()
{
    RecordScreen::modify();
    ui->txtSection->setFocus(Qt::OtherFocusReason);
    ui->txtSection->selectAll();
}

// First and last go there without asking where the position stands.
void RulingsLibrary::moveFirst()
{
    if (storeTypedFields() && recordSet()->rowCount() > 0)
        recordSet()->moveFirst();
}

void RulingsLibrary::moveLast()
{
    if (storeTypedFields() && recordSet()->rowCount() > 0)
        recordSet()->moveLast();
}

void RulingsLibrary::find()
{
    if (!storeTypedFields())
        return;
    if (ScreenHost *host = ScreenHost::current())
        host->openScreen(screens::searchRulings);
}

// The ruling as the screen shows it at this moment.
void RulingsLibrary::print()
{
    report::ReportWindow::open(rulingReportLayout(shownTexts()), report::ReportData());
}

} // namespace lexordo
