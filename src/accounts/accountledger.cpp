#include "accountledger.h"

#include "accountsstore.h"
#include "ui_accountledger.h"

#include <data/amounts.h>
#include <data/messenger.h>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace lexordo {

namespace {
const QString unknownClientMessage =
    QStringLiteral("This Client does not exist!! MAke Entry in Clients Form");
}

AccountLedger::AccountLedger(QWidget *parent) : RecordScreen(parent), ui(new Ui::AccountLedger)
{
    ui->setupUi(this);
    fillNames();
    openRecordSet(RecordSource::table(QStringLiteral("AC_INFO")));
    bind(ui->txtname, QStringLiteral("Name"));
    bind(ui->txtDate, QStringLiteral("TransDate"));
    bind(ui->txtLFees, QStringLiteral("Legal Fees"));
    bind(ui->txtCfees, QStringLiteral("CourtFees"));
    bind(ui->txtMisc, QStringLiteral("Misc"));
    bind(ui->txtRec, QStringLiteral("Received"));
    bind(ui->txtBal, QStringLiteral("Balance"));
    bind(ui->txtPart, QStringLiteral("Part"), Lock::Never);
    setFind(QStringLiteral("Enter The Name to Be Searched "), QStringLiteral("Name"),
            Filter::Op::BeginsWith);
    setDefaultDateOnFocus(ui->txtDate);
    start(Start::AllEnabled);
    followChangesElsewhere(ui->lblChangedElsewhere);
}

AccountLedger::~AccountLedger()
{
    delete ui;
}

// The names offered are read afresh, so a client entered since opening is there.
void AccountLedger::fillNames()
{
    guardAction([this] { readNames(); });
}

void AccountLedger::readNames()
{
    const QStringList names = AccountsStore::clientNames();
    const QString typed = ui->txtname->currentText();
    const QSignalBlocker quiet(ui->txtname);
    ui->txtname->clear();
    ui->txtname->addItems(names);
    ui->txtname->setEditText(typed);
}

// A client entered at another desk is offered too, not only after Add.
void AccountLedger::showChangesElsewhere()
{
    RecordScreen::showChangesElsewhere();
    readNames();
}

void AccountLedger::enterEditState()
{
    fillNames();
    RecordScreen::enterEditState();
    ui->txtname->setFocus(Qt::OtherFocusReason);
}

void AccountLedger::fieldFocusIn(QWidget *field)
{
    RecordScreen::fieldFocusIn(field);
    // With no row on show (past either end) there is nothing to fill in.
    if (state() != State::Edit && !recordSet()->hasCurrentRow())
        return;
    if (field == ui->txtBal) {
        // Charges less receipt, added in that order; a box that holds no
        // amount is named and the balance is left as it was.
        const std::optional<QList<double>> read =
            readAmounts({ui->txtLFees, ui->txtCfees, ui->txtMisc, ui->txtRec});
        if (!read)
            return;
        const QList<double> &a = *read;
        ui->txtBal->setText(amounts::write(a[0] + a[1] + a[2] - a[3]));
        ui->txtBal->selectAll();
    } else if (field == ui->txtDate && state() == State::Edit) {
        ui->txtDate->selectAll();
    }
}

void AccountLedger::fieldFocusOut(QWidget *field)
{
    if (field == ui->txtname)
        checkClient();
}

// A name the clients register does not know is told, not refused.
void AccountLedger::checkClient()
{
    if (state() != State::Edit)
        return;
    if (!AccountsStore::clientExists(ui->txtname->currentText()))
        showMessage(unknownClientMessage);
}

} // namespace lexordo
