#include "receiptscreen.h"

#include "accountsreports.h"
#include "accountsstore.h"
#include "ui_receiptscreen.h"

#include <cmath>
#include <data/amounts.h>
#include <data/clock.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <data/officesettings.h>
#include <QLineEdit>
#include <reports/runtime/reportwindow.h>
#include <widgets/enterkey.h>

namespace lexordo {

namespace {
const QString advocateNamePrompt =
    QStringLiteral("Whose name heads the receipts? Enter the advocate's name:");
}

ReceiptScreen::ReceiptScreen(QWidget *parent) : RecordScreen(parent), ui(new Ui::ReceiptScreen)
{
    ui->setupUi(this);
    openRecordSet(RecordSource::table(QStringLiteral("Receipt")));
    bind(ui->txtRno, QStringLiteral("ReceiptNo"));
    bind(ui->txtDate, QStringLiteral("RDate"));
    bind(ui->txtName, QStringLiteral("Name"));
    bind(ui->txtRsinFig, QStringLiteral("Rs in fig"));
    bind(ui->txtRsinWords, QStringLiteral("Sum of Rupees"));
    bind(ui->cmbMode, QStringLiteral("payment mode"));
    bind(ui->txtChqNo, QStringLiteral("Cheque No"));
    bind(ui->txtDated, QStringLiteral("Dated"));
    bind(ui->txtDrawnOn, QStringLiteral("Drawn On"));
    bind(ui->txtAccounts, QStringLiteral("OnACCOUNT"), Lock::Never);
    setNotFoundText(QStringLiteral("Record nont found "));
    onClicked(ui->cmdPrint, [this] { print(); });

    // Enter on Save saves, then goes on to Add for the next receipt.
    onEnterKey(ui->cmdSave, [this] {
        if (ui->cmdSave->isEnabled())
            ui->cmdSave->click();
        if (ui->cmdAdd->isEnabled())
            ui->cmdAdd->setFocus(Qt::TabFocusReason);
    });

    start(Start::Browse);
    followChangesElsewhere(ui->lblChangedElsewhere);
    // The newest receipt is shown first.
    guardAction([this] {
        if (recordSet()->isOpen() && recordSet()->rowCount() > 0)
            recordSet()->moveLast();
    });
}

ReceiptScreen::~ReceiptScreen()
{
    delete ui;
}

ReceiptSheet ReceiptScreen::sheet() const
{
    ReceiptSheet receipt;
    receipt.number = ui->txtRno->text();
    receipt.date = ui->txtDate->text();
    receipt.from = ui->txtName->text();
    receipt.inWords = ui->txtRsinWords->text();
    receipt.paymentMode = ui->cmbMode->currentText();
    receipt.chequeNo = ui->txtChqNo->text();
    receipt.chequeDate = ui->txtDated->text();
    receipt.drawnOn = ui->txtDrawnOn->text();
    receipt.onAccount = ui->txtAccounts->text();
    receipt.figure = ui->txtRsinFig->text();
    return receipt;
}

QString ReceiptScreen::advocateNameForReceipt()
{
    QString name = office::advocateName();
    if (!name.isEmpty())
        return name;
    if (const std::optional<QString> answer = askInput(advocateNamePrompt)) {
        name = answer->trimmed();
        if (!name.isEmpty())
            office::setAdvocateName(name);
    }
    return name;
}

void ReceiptScreen::add()
{
    m_modifying = false;
    RecordScreen::add();
}

void ReceiptScreen::modify()
{
    RecordScreen::modify();
    m_modifying = true;
}

void ReceiptScreen::save()
{
    // A modification stores every changed row; an addition the new one.
    if (!storeTypedFields())
        return;
    try {
        if (m_modifying)
            recordSet()->updateBatch();
        else
            recordSet()->update();
    } catch (const ChangedElsewhere &e) {
        m_modifying = false;
        showReadAgain(e);
        return;
    } catch (const DataError &e) {
        showMessage(QStringLiteral("The record could not be saved: %1").arg(e.description()));
        return;
    }
    m_modifying = false;
    enterBrowseState();
    if (!recordSet()->isEOF())
        recordSet()->moveLast();
}

void ReceiptScreen::deleteRecord()
{
    if (recordSet()->rowCount() == 0)
        recordSet()->requery();
    if (!askYesNo(QStringLiteral("Really You want to delete this record ")))
        return;
    if (recordSet()->rowCount() == 0 || recordSet()->isEOF())
        return;
    if (!deleteUnlessChangedElsewhere())
        return;
    if (recordSet()->rowCount() > 0)
        recordSet()->moveLast();
}

void ReceiptScreen::moveFirst()
{
    if (storeTypedFields() && recordSet()->rowCount() > 0)
        recordSet()->moveFirst();
}

void ReceiptScreen::moveLast()
{
    if (storeTypedFields() && recordSet()->rowCount() > 0)
        recordSet()->moveLast();
}

// By number, or else by a part of the name.
void ReceiptScreen::find()
{
    if (!storeTypedFields())
        return;
    const std::optional<QString> number = askInput(QStringLiteral("Enter the Receipt No. "));
    // A number as amounts are typed ("1,001" too); anything else is a name.
    const double wanted = std::nearbyint(amounts::parse(number.value_or(QString())).value_or(0.0));
    if (wanted != 0) {
        recordSet()->setFilter(Filter(QStringLiteral("receiptno"), Filter::Op::Equal, wanted));
    } else {
        const QString name =
            askInput(QStringLiteral("Enter the Name ")).value_or(QString()).trimmed();
        // An empty answer keeps every receipt that has a name.
        recordSet()->setFilter(Filter(QStringLiteral("name"), Filter::Op::Contains, name));
    }
    if (recordSet()->rowCount() == 0)
        showMessage(QStringLiteral("Record nont found "));
}

void ReceiptScreen::enterEditState()
{
    RecordScreen::enterEditState();
    ui->txtRno->setFocus(Qt::OtherFocusReason);
}

void ReceiptScreen::fieldFocusIn(QWidget *field)
{
    // Today's date only goes into an empty date box.
    if (field == ui->txtDate && state() == State::Edit && ui->txtDate->text().trimmed().isEmpty()) {
        ui->txtDate->setText(dates::format(Clock::today()));
        ui->txtDate->selectAll();
    }
}

void ReceiptScreen::fieldDoubleClicked(QWidget *field)
{
    if (field != ui->txtRno || ui->txtRno->isReadOnly())
        return;
    const qint64 next = AccountsStore::nextReceiptNumber();
    ui->txtRNO2->setText(QString::number(next - 1));
    ui->txtRno->setText(QString::number(next));
    ui->txtRno->selectAll();
}

void ReceiptScreen::print()
{
    const ReceiptSheet receipt = sheet();
    AccountsReport printed = receiptPrint(receipt, advocateNameForReceipt());
    report::ReportWindow::open(printed.layout, std::move(printed.data));
}

} // namespace lexordo
