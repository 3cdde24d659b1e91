#pragma once

#include <QPointer>
#include <QWidget>
#include <reports/runtime/reportwindow.h>

namespace Ui {
class FeeStatementScreen;
}

namespace lexordo {

// Prints the fee ledger over a period (frmReportsFees): one account's
// statement, or all accounts by financial year when no account is named.
// The screen closes with its report.
class FeeStatementScreen : public QWidget
{
    Q_OBJECT

public:
    explicit FeeStatementScreen(QWidget *parent = nullptr);
    ~FeeStatementScreen() override;

    report::ReportWindow *reportWindow() const { return m_report; }

public slots:
    void showReport();

private:
    Ui::FeeStatementScreen *ui;
    QPointer<report::ReportWindow> m_report;
};

} // namespace lexordo
