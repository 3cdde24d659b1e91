#pragma once

#include "accountsheets.h"

#include <optional>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace lexordo {

// Every statement of the fee accounts: the next bill and receipt numbers, the
// client names the ledger offers and checks, and the refill of the fee
// statements' work table tmpac_info. Values are always bound. Errors come as
// DataError with the database's description.
class AccountsStore
{
public:
    // The highest bill or receipt number plus one; 1 for an empty table.
    static qint64 nextBillNumber();
    static qint64 nextReceiptNumber();

    // The client names of the clients register, once each, in order.
    static QStringList clientNames();
    // Whether the clients register holds the name (letter case ignored).
    static bool clientExists(const QString &name);

    // Empties tmpac_info and copies into it the ledger rows dated from `from`
    // to `to` (both included), of one account when `account` is not empty
    // (letter case ignored), in date order. Each copy carries its financial
    // year (1 April to 31 March) in Gr, written "2006-2007". All in one
    // transaction: when nothing is selected or anything fails, the table keeps
    // what it held. Returns the number of rows copied.
    static int refillStatementTable(const QString &account, const QDate &from, const QDate &to);

    // A stored bill or receipt as its screen shows it when it is read back;
    // nothing when there is no such number.
    static std::optional<BillSheet> bill(qint64 number);
    static std::optional<ReceiptSheet> receipt(qint64 number);

    // "2006-2007" for any day from 1 April 2006 to 31 March 2007.
    static QString financialYear(const QDate &date);
};

} // namespace lexordo
