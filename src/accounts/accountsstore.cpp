#include "accountsstore.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/recordset.h>
#include <data/sqlquery.h>

namespace lexordo {

namespace {

qint64 nextNumber(const QString &sql)
{
    const std::optional<QVariant> highest = SqlQuery::singleValue(sql);
    return (highest && !highest->isNull() ? qint64(highest->toDouble()) : 0) + 1;
}

} // namespace

qint64 AccountsStore::nextBillNumber()
{
    return nextNumber(QStringLiteral("select max(billno) from bill"));
}

qint64 AccountsStore::nextReceiptNumber()
{
    return nextNumber(QStringLiteral("select max(receiptno) from receipt"));
}

QStringList AccountsStore::clientNames()
{
    SqlQuery query(QStringLiteral("select acname from clients where acname is not null "
                                  "group by acname order by lower(acname), acname"));
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    return names;
}

bool AccountsStore::clientExists(const QString &name)
{
    const std::optional<QVariant> count = SqlQuery::singleValue(
        QStringLiteral("select count(*) from Clients where lower(ACname) = lower(?)"), {name});
    return count && count->toLongLong() > 0;
}

QString AccountsStore::financialYear(const QDate &date)
{
    if (!date.isValid())
        return QString();
    const int first = date.month() >= 4 ? date.year() : date.year() - 1;
    return QStringLiteral("%1-%2").arg(first).arg(first + 1);
}

int AccountsStore::refillStatementTable(const QString &account, const QDate &from, const QDate &to)
{
    QString select = QStringLiteral(
        "select Name, TransDate, Part, \"Legal Fees\", CourtFees, Misc, Received, Balance "
        "from AC_INFO where TransDate >= ? and TransDate <= ?");
    QVariantList values{dates::toIso(from), dates::toIso(to)};
    if (!account.trimmed().isEmpty()) {
        select += QStringLiteral(" and lower(Name) = lower(?)");
        values << account.trimmed();
    }
    select += QStringLiteral(" order by TransDate");

    Database::Transaction transaction;
    SqlQuery(QStringLiteral("delete from tmpac_info")).exec();

    SqlQuery insert(QStringLiteral(
        "insert into tmpac_info (Name, transdate, Part, \"Legal Fees\", CourtFees, Misc, "
        "Received, Balance, Gr) values (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    SqlQuery rows(select);
    rows.bindAll(values);
    int copied = 0;
    while (rows.next()) {
        QVariantList row;
        for (int column = 0; column < 8; ++column)
            row << rows.value(column);
        const std::optional<QDate> day = dates::parseIso(row[1].toString());
        row << (day ? QVariant(financialYear(*day)) : QVariant());
        insert.bindAll(row);
        insert.exec();
        insert.reset();
        ++copied;
    }
    if (copied > 0)
        transaction.commit();
    return copied;
}

std::optional<BillSheet> AccountsStore::bill(qint64 number)
{
    RecordSet bills(
        RecordSource::query(QStringLiteral("select * from bill where BillNo = ?"), {number}));
    if (bills.rowCount() == 0)
        return std::nullopt;
    bills.moveFirst();
    BillSheet bill;
    bill.number = bills.text(QStringLiteral("BillNo"));
    bill.date = bills.text(QStringLiteral("BillDate"));
    bill.to = bills.text(QStringLiteral("To"));
    bill.address = bills.text(QStringLiteral("Address"));
    bill.reference = bills.text(QStringLiteral("Ref"));
    for (int i = 0; i < 6; ++i) {
        bill.lineNumbers[size_t(i)] = bills.text(QStringLiteral("s%1").arg(i + 1));
        bill.particulars[size_t(i)] = bills.text(QStringLiteral("p%1").arg(i + 1));
        bill.amounts[size_t(i)] = bills.text(QStringLiteral("a%1").arg(i + 1));
    }
    bill.total = bills.text(QStringLiteral("Total"));
    bill.taxPercent = bills.text(QStringLiteral("STP"));
    bill.tax = bills.text(QStringLiteral("Stax"));
    bill.grandTotal = bills.text(QStringLiteral("GTotal"));
    bill.inWords = bills.text(QStringLiteral("Rupees"));
    return bill;
}

std::optional<ReceiptSheet> AccountsStore::receipt(qint64 number)
{
    RecordSet receipts(
        RecordSource::query(QStringLiteral("select * from Receipt where ReceiptNo = ?"), {number}));
    if (receipts.rowCount() == 0)
        return std::nullopt;
    receipts.moveFirst();
    ReceiptSheet receipt;
    receipt.number = receipts.text(QStringLiteral("ReceiptNo"));
    receipt.date = receipts.text(QStringLiteral("RDate"));
    receipt.from = receipts.text(QStringLiteral("Name"));
    receipt.inWords = receipts.text(QStringLiteral("Sum of Rupees"));
    receipt.paymentMode = receipts.text(QStringLiteral("payment mode"));
    receipt.chequeNo = receipts.text(QStringLiteral("Cheque No"));
    receipt.chequeDate = receipts.text(QStringLiteral("Dated"));
    receipt.drawnOn = receipts.text(QStringLiteral("Drawn On"));
    receipt.onAccount = receipts.text(QStringLiteral("OnACCOUNT"));
    receipt.figure = receipts.text(QStringLiteral("Rs in fig"));
    return receipt;
}

} // namespace lexordo
