#pragma once

#include "accountslayouts.h"

#include <optional>
#include <QHash>
#include <reports/runtime/reportdata.h>

namespace lexordo {

inline const QString noStatementRowsMessage =
    QStringLiteral("No Record in These Date Range Found, Try Again!!");

// A fee account report with its labels set and its rows read.
struct AccountsReport
{
    report::ReportLayout layout;
    report::ReportData data;
};

// The fee statement of the period (dates as typed, day/month/year): of one
// account (drTransFees) when `account` is not blank, else of all accounts by
// financial year (drTransAnnual). Refills tmpac_info first. A date that is
// not a date, an empty period or an error of the data layer is told through
// the messenger, and nothing is returned.
std::optional<AccountsReport> feeStatement(const QString &account, const QString &from,
                                           const QString &to);

// The bill as printed from its screen: the sheet over ComBill.
AccountsReport billPrint(const BillSheet &bill); // throws DataError
// The receipt as printed from its screen: the sheet over comReceipt.
AccountsReport receiptPrint(const ReceiptSheet &receipt,
                            const QString &advocateName); // throws DataError

// `lexordo print fees|bill|receipt`: the options each report takes.
const QHash<QString, QStringList> &accountsPrintOptions();
// Prepares one of those reports from the command's options; the reason it
// could not be made is told through the messenger (standard error there).
std::optional<AccountsReport> accountsPrint(const QString &report,
                                            const QHash<QString, QString> &options);

} // namespace lexordo
