#include "accountsreports.h"

#include "accountsstore.h"

#include <data/clock.h>
#include <data/dataenvironment.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <data/officesettings.h>

namespace lexordo {

std::optional<AccountsReport> feeStatement(const QString &account, const QString &from,
                                           const QString &to)
{
    const std::optional<QDate> first = dates::parse(from.trimmed());
    if (!first) {
        showMessage(dates::enterDateMessage);
        return std::nullopt;
    }
    const std::optional<QDate> last = dates::parse(to.trimmed());
    if (!last) {
        showMessage(dates::enterDateMessage);
        return std::nullopt;
    }
    try {
        if (AccountsStore::refillStatementTable(account, *first, *last) < 1) {
            showMessage(noStatementRowsMessage);
            return std::nullopt;
        }
        if (!account.trimmed().isEmpty())
            return AccountsReport{
                transFeesReport(account),
                report::ReportData::grouped(DataEnvironment::run(DataEnvironment::Grouping::AC))};
        return AccountsReport{
            transAnnualReport(from, to),
            report::ReportData::grouped(DataEnvironment::run(DataEnvironment::Grouping::Annual))};
    } catch (const DataError &e) {
        showMessage(e.description());
        return std::nullopt;
    }
}

AccountsReport billPrint(const BillSheet &bill)
{
    return {billReport(bill),
            report::ReportData::flat(DataEnvironment::run(DataEnvironment::comBill()))};
}

AccountsReport receiptPrint(const ReceiptSheet &receipt, const QString &advocateName)
{
    return {receiptReport(receipt, advocateName),
            report::ReportData::flat(DataEnvironment::run(DataEnvironment::comReceipt()))};
}

const QHash<QString, QStringList> &accountsPrintOptions()
{
    static const QHash<QString, QStringList> options = {
        {QStringLiteral("fees"),
         {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("name")}},
        {QStringLiteral("bill"), {QStringLiteral("number")}},
        {QStringLiteral("receipt"), {QStringLiteral("number")}},
    };
    return options;
}

std::optional<AccountsReport> accountsPrint(const QString &report,
                                            const QHash<QString, QString> &options)
{
    if (report == QStringLiteral("fees"))
        return feeStatement(options.value(QStringLiteral("name")),
                            options.value(QStringLiteral("from")),
                            options.value(QStringLiteral("to"), dates::format(Clock::today())));

    const bool bill = report == QStringLiteral("bill");
    const QString typed = options.value(QStringLiteral("number")).trimmed();
    bool whole = false;
    const qint64 number = typed.toLongLong(&whole);
    if (!whole || number < 1) {
        showMessage(QStringLiteral("Give the number of the %1 with --number N.")
                        .arg(bill ? QStringLiteral("bill") : QStringLiteral("receipt")));
        return std::nullopt;
    }
    try {
        if (bill) {
            if (const std::optional<BillSheet> sheet = AccountsStore::bill(number))
                return billPrint(*sheet);
            showMessage(QStringLiteral("There is no bill number %1.").arg(number));
        } else {
            if (const std::optional<ReceiptSheet> sheet = AccountsStore::receipt(number))
                return receiptPrint(*sheet, office::advocateName());
            showMessage(QStringLiteral("There is no receipt number %1.").arg(number));
        }
    } catch (const DataError &e) {
        showMessage(e.description());
    }
    return std::nullopt;
}

} // namespace lexordo
