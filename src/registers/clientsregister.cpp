#include "clientsregister.h"

#include "folderopener.h"
#include "registerreports.h"
#include "rulingslibrary.h"
#include "ui_clientsregister.h"

#include <data/messenger.h>
#include <QTimer>
#include <reports/runtime/reportwindow.h>
#include <widgets/enterkey.h>
#include <widgets/guard.h>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>

namespace lexordo {

ClientsRegister::ClientsRegister(QWidget *parent)
    : RecordScreen(parent), ui(new Ui::ClientsRegister)
{
    ui->setupUi(this);
    openRecordSet(RecordSource::table(QStringLiteral("Clients")));
    bind(ui->txtName, QStringLiteral("ACname"));
    bind(ui->txtCaseNo, QStringLiteral("CaseNo"));
    bind(ui->txtParties, QStringLiteral("Parties"));
    bind(ui->txtUSec_0, QStringLiteral("US1"));
    bind(ui->txtUSec_1, QStringLiteral("US2"));
    bind(ui->txtUSec_2, QStringLiteral("US3"));
    bind(ui->txtUSec_3, QStringLiteral("US4"));
    bind(ui->txtAdd, QStringLiteral("Adresss"));
    bind(ui->txtPhno, QStringLiteral("Phoneno"));
    bind(ui->txtMno, QStringLiteral("MobileNumber"));
    bind(ui->txtEmail, QStringLiteral("Email"));
    // The file number and the folder can be corrected while browsing; the
    // change is stored when the screen moves to another row.
    bind(ui->txtfileno, QStringLiteral("fileno"), Lock::Never);
    bind(ui->txtfolderpath, QStringLiteral("folderpath"), Lock::Never);
    bind(ui->txtDate, QStringLiteral("date"));
    setDefaultDateOnFocus(ui->txtDate);
    // A client is found by the first letters of the account name.
    setFind(QStringLiteral("Enter The Name to Be Searched "), QStringLiteral("acname"),
            Filter::Op::BeginsWith);

    // Enter goes from field to field, and after the folder to Save (the
    // register's own); in the sort box it prints.
    onEnterKey(ui->txtSortBy, [this] { guardAction([this] { print(); }); });

    ui->txtSortBy->setCurrentIndex(-1); // the clerk chooses the order each time
    onClicked(ui->cmdOpenFolder, [this] { openFolder(); });
    onClicked(ui->cmdPrint, [this] { print(); });
    start(Start::AllEnabled);
    followChangesElsewhere(ui->lblChangedElsewhere);
}

ClientsRegister::~ClientsRegister()
{
    delete ui;
}

ClientsRegister *ClientsRegister::openOnClientsOf(ScreenHost &host, const QVariant &argument)
{
    QWidget *screen = host.findScreen(screens::clients);
    if (!screen)
        screen = host.openScreen(screens::clients);
    auto *clients = qobject_cast<ClientsRegister *>(screen);
    if (clients) {
        const QVariantMap clientsOf = argument.toMap();
        clients->showClientsOf(clientsOf.value(QStringLiteral("caseNo")).toString(),
                               clientsOf.value(QStringLiteral("parties")).toString());
    }
    return clients;
}

void ClientsRegister::showClientsOf(const QString &caseNo, const QString &parties)
{
    // A filter moves off the row, which would store a client half entered.
    if (state() == State::Edit) {
        showMessage(QStringLiteral("Please save the client being entered first."));
        return;
    }
    if (!storeTypedFields())
        return;
    if (!caseNo.trimmed().isEmpty())
        recordSet()->setFilter(
            Filter(QStringLiteral("caseno"), Filter::Op::Equal, caseNo.trimmed()));
    else
        recordSet()->setFilter(Filter(QStringLiteral("Parties"), Filter::Op::Equal, parties));
}

// --- the steps of the register ---------------------------------------------------------

void ClientsRegister::add()
{
    RecordScreen::add();
    if (state() == State::Edit)
        ui->txtName->setFocus(Qt::OtherFocusReason);
}

void ClientsRegister::modify()
{
    RecordScreen::modify();
    ui->txtName->setFocus(Qt::OtherFocusReason);
    ui->txtName->selectAll();
}

// To the last row, past-the-end or not; an empty register stays as it is.
void ClientsRegister::moveLast()
{
    if (storeTypedFields() && recordSet()->rowCount() > 0)
        recordSet()->moveLast();
}

// Printing reads the rows as stored: not while one is half entered.
void ClientsRegister::enterEditState()
{
    RecordScreen::enterEditState();
    ui->cmdPrint->setEnabled(false);
}

void ClientsRegister::enterBrowseState()
{
    RecordScreen::enterBrowseState();
    ui->cmdPrint->setEnabled(true);
}

void ClientsRegister::fieldFocusIn(QWidget *field)
{
    RecordScreen::fieldFocusIn(field);
    // Today, filled in on entry, is selected so that typing replaces it; a
    // click places the cursor after the focus arrives, so select after it.
    if (field == ui->txtDate && state() == State::Edit) {
        ui->txtDate->selectAll();
        QTimer::singleShot(0, ui->txtDate, [edit = ui->txtDate] {
            if (edit->hasFocus())
                edit->selectAll();
        });
    }
}

void ClientsRegister::fieldDoubleClicked(QWidget *field)
{
    const QList<QLineEdit *> sections{ui->txtUSec_0, ui->txtUSec_1, ui->txtUSec_2, ui->txtUSec_3};
    for (QLineEdit *box : sections) {
        if (field == box && !box->text().isEmpty())
            showRulingsOn(box->text());
    }
}

// The rulings on a section of the client's case, matched exactly.
void ClientsRegister::showRulingsOn(const QString &section)
{
    ScreenHost *host = ScreenHost::current();
    auto *library =
        host ? qobject_cast<RulingsLibrary *>(host->openScreen(screens::rulings)) : nullptr;
    if (!library) {
        showMessage(QStringLiteral("The rulings library could not be opened."));
        return;
    }
    if (!library->showSection(section))
        return;
    if (library->recordSet()->rowCount() == 0)
        showMessage(QStringLiteral("Record Not Found "));
}

void ClientsRegister::openFolder()
{
    FolderOpener::open(ui->txtfolderpath->text());
}

// The client list, sorted by name or by file number as chosen.
void ClientsRegister::print()
{
    const QString sortBy = ui->txtSortBy->currentText().trimmed();
    if (sortBy.isEmpty()) {
        showMessage(QStringLiteral("Please Select the sorting type from Combo List"),
                    Messenger::Buttons::Ok, Messenger::Icon::Critical);
        return;
    }
    if (!storeTypedFields())
        return;
    // The sort stays on the register: the moving buttons follow it afterwards.
    recordSet()->setSort(sortBy == QLatin1String("Name") ? QStringLiteral("AcName")
                                                         : QStringLiteral("fileno"));
    report::ReportWindow::open(clientReportLayout(),
                               report::ReportData::flat(clientReportRows(*recordSet())));
}

} // namespace lexordo
