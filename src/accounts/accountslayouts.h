#pragma once

#include "accountsheets.h"

#include <reports/runtime/reportlayout.h>

namespace lexordo {

// The bill drBill with its header filled from the sheet.
report::ReportLayout billReport(const BillSheet &bill);

// "Rs." + figure + "/-", as the receipt prints its sum.
QString receiptFigure(const QString &figure);

// The receipt drReceipt with its header filled from the sheet; the
// advocate's name heads it.
report::ReportLayout receiptReport(const ReceiptSheet &receipt, const QString &advocateName);

// "Withdrawn" and "Deposited" stand over the received and court-fees
// columns when the account is the bank.
bool isBankAccount(const QString &account);

// The statement of one account, drTransFees, grouped by name.
report::ReportLayout transFeesReport(const QString &account);

// The statement of all accounts, drTransAnnual, grouped by financial year,
// with the period as typed.
report::ReportLayout transAnnualReport(const QString &from, const QString &to);

} // namespace lexordo
