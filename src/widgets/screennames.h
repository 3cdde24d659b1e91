#pragma once

#include <QString>

// The name of every screen, as its form is named: the main window's catalogue
// keeps each screen under its name, and screens open one another by it.
namespace lexordo::screens {

// The diary
inline const QString caseRegister = QStringLiteral("frmCases");
inline const QString conversion = QStringLiteral("frmCases1");
inline const QString caseSearch = QStringLiteral("frmSearchcase");
inline const QString searchNextBlank = QStringLiteral("frmSearchNextBlank");
inline const QString courtList = QStringLiteral("frmCheckCourtList");

// The registers
inline const QString courts = QStringLiteral("frmCourts");
inline const QString holidays = QStringLiteral("frmHdays");
inline const QString clients = QStringLiteral("frmClients");
inline const QString rulings = QStringLiteral("frmCourtsOrders");
inline const QString searchRulings = QStringLiteral("frmSearchRulings");
inline const QString directory = QStringLiteral("frmDirectory");
inline const QString searchDirectory = QStringLiteral("frmSearchDirectory");

// Fees and bills
inline const QString accountLedger = QStringLiteral("frmAC");
inline const QString bill = QStringLiteral("frmBill");
inline const QString receipt = QStringLiteral("frmReceipt");
inline const QString feeStatement = QStringLiteral("frmReportsFees");

// Reminders
inline const QString reminderEntry = QStringLiteral("frmRemEnt");
inline const QString reminder = QStringLiteral("frmReminder");

// The diary's reports
inline const QString currentDateReport = QStringLiteral("frmReportManyDates");
inline const QString nextDateReport = QStringLiteral("frmReportsDate");
inline const QString blankNextDateReport = QStringLiteral("frmRepoNextBlank");
inline const QString partyHistory = QStringLiteral("frmReportParties");
inline const QString caseSummary = QStringLiteral("frmRepoClients");

// The program's own
inline const QString passwordChange = QStringLiteral("frmChPass");
inline const QString backup = QStringLiteral("frmBackup");
inline const QString browser = QStringLiteral("frmBrowser");

} // namespace lexordo::screens
