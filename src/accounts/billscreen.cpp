#include "billscreen.h"

#include "accountsreports.h"
#include "accountsstore.h"
#include "amountwords.h"
#include "ui_billscreen.h"

#include <data/amounts.h>
#include <data/messenger.h>
#include <QLineEdit>
#include <reports/runtime/reportwindow.h>

namespace lexordo {

BillScreen::BillScreen(QWidget *parent) : RecordScreen(parent), ui(new Ui::BillScreen)
{
    ui->setupUi(this);
    m_lineNumbers = {ui->txtSno1, ui->txtSno2, ui->txtSno3, ui->txtSno4, ui->txtSno5, ui->txtSno6};
    m_particulars = {ui->txtP1, ui->txtP2, ui->txtP3, ui->txtP4, ui->txtP5, ui->txtP6};
    m_amounts = {ui->txtA1, ui->txtA2, ui->txtA3, ui->txtA4, ui->txtA5, ui->txtA6};

    openRecordSet(RecordSource::table(QStringLiteral("bill")));
    bind(ui->txtNo, QStringLiteral("BillNo"));
    bind(ui->txtDate, QStringLiteral("BillDate"));
    bind(ui->txtName, QStringLiteral("To"));
    bind(ui->txtAdd, QStringLiteral("Address"));
    bind(ui->txtRef, QStringLiteral("Ref"));
    static const char *const particularColumns[] = {"P1", "p2", "p3", "p4", "p5", "p6"};
    for (int i = 0; i < 6; ++i) {
        bind(m_lineNumbers[i], QStringLiteral("s%1").arg(i + 1));
        bind(m_particulars[i], QString::fromLatin1(particularColumns[i]));
        bind(m_amounts[i], QStringLiteral("a%1").arg(i + 1));
    }
    bind(ui->txtTotal, QStringLiteral("Total"));
    bind(ui->txtRupees, QStringLiteral("Rupees"));
    bind(ui->txtSTP, QStringLiteral("STP"), Lock::Never);
    bind(ui->txtSTax, QStringLiteral("Stax"), Lock::Never);
    // The grand total keeps a column of its own, so a bill read back shows
    // both the total and the grand total as they were.
    bind(ui->txtGtotal, QStringLiteral("GTotal"), Lock::Never);

    setFind(QStringLiteral("Enter The Name to Be Searched "), QStringLiteral("To"),
            Filter::Op::BeginsWith);
    setDefaultDateOnFocus(ui->txtDate);
    onClicked(ui->cmdPrint, [this] { print(); });
    start(Start::AllEnabled);
    followChangesElsewhere(ui->lblChangedElsewhere);
}

BillScreen::~BillScreen()
{
    delete ui;
}

double BillScreen::tax(double total, double percent)
{
    return total * percent * 0.01;
}

BillSheet BillScreen::sheet() const
{
    BillSheet bill;
    bill.number = ui->txtNo->text();
    bill.date = ui->txtDate->text();
    bill.to = ui->txtName->text();
    bill.address = ui->txtAdd->text();
    bill.reference = ui->txtRef->text();
    for (int i = 0; i < 6; ++i) {
        bill.lineNumbers[size_t(i)] = m_lineNumbers[i]->text();
        bill.particulars[size_t(i)] = m_particulars[i]->text();
        bill.amounts[size_t(i)] = m_amounts[i]->text();
    }
    bill.total = ui->txtTotal->text();
    bill.taxPercent = ui->txtSTP->text();
    bill.tax = ui->txtSTax->text();
    bill.grandTotal = ui->txtGtotal->text();
    bill.inWords = ui->txtRupees->text();
    return bill;
}

void BillScreen::enterEditState()
{
    RecordScreen::enterEditState();
    ui->txtNo->setFocus(Qt::OtherFocusReason);
}

void BillScreen::fieldFocusIn(QWidget *field)
{
    RecordScreen::fieldFocusIn(field);
    // With no row on show (past either end) there is nothing to fill in.
    if (state() != State::Edit && !recordSet()->hasCurrentRow())
        return;
    if (const qsizetype line = m_lineNumbers.indexOf(field); line >= 0)
        m_lineNumbers[line]->setText(QString::number(line + 1));
    else if (field == ui->txtTotal)
        writeTotal();
    else if (field == ui->txtGtotal)
        writeGrandTotal();
    else if (field != ui->txtDate || state() != State::Edit)
        return; // today's date, filled in on entry, is selected too
    if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->selectAll();
}

void BillScreen::fieldFocusOut(QWidget *field)
{
    if (state() != State::Edit && !recordSet()->hasCurrentRow())
        return;
    if (field == ui->txtSTP)
        writeTaxAndGrandTotal();
    else if (field == ui->txtGtotal)
        writeInWords();
}

void BillScreen::fieldDoubleClicked(QWidget *field)
{
    if (field != ui->txtNo || ui->txtNo->isReadOnly())
        return;
    const qint64 next = AccountsStore::nextBillNumber();
    ui->txtNoTemp->setText(QString::number(next - 1));
    ui->txtNo->setText(QString::number(next));
    ui->txtNo->selectAll();
}

// Each result is worked out only from boxes that all hold amounts; a box that
// does not is named, and nothing is written.
void BillScreen::writeTotal()
{
    const std::optional<QList<double>> lines = readAmounts(m_amounts);
    if (!lines)
        return;
    double total = 0;
    for (const double amount : *lines)
        total += amount;
    ui->txtTotal->setText(amounts::write(total));
}

void BillScreen::writeTaxAndGrandTotal()
{
    const std::optional<QList<double>> read = readAmounts({ui->txtTotal, ui->txtSTP});
    if (!read)
        return;
    const double total = (*read)[0];
    const QString taxText = amounts::write(tax(total, (*read)[1]));
    ui->txtSTax->setText(taxText);
    // The tax as written, so that the grand total adds what the bill shows.
    ui->txtGtotal->setText(amounts::write(total + amounts::parse(taxText).value_or(0.0)));
}

void BillScreen::writeGrandTotal()
{
    if (const std::optional<QList<double>> read = readAmounts({ui->txtTotal, ui->txtSTax}))
        ui->txtGtotal->setText(amounts::write((*read)[0] + (*read)[1]));
}

void BillScreen::writeInWords()
{
    const std::optional<QList<double>> read = readAmounts({ui->txtGtotal});
    if (!read)
        return;
    if (const std::optional<QString> words = amounts::inWords(read->front())) {
        ui->txtRupees->setText(*words);
        return;
    }
    ui->txtRupees->clear();
    showMessage(QStringLiteral("The grand total %1 is too large to be written in words.")
                    .arg(ui->txtGtotal->text().trimmed()));
}

void BillScreen::print()
{
    AccountsReport printed = billPrint(sheet());
    report::ReportWindow::open(printed.layout, std::move(printed.data));
}

} // namespace lexordo
