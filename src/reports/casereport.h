#pragma once

#include "diaryreports.h"

#include <QVariant>
#include <QWidget>

class QRadioButton;

namespace Ui {
class CaseReport;
}

namespace lexordo {

namespace report {
class ReportWindow;
}

// The history of one party or one case (frmReportParties): every hearing,
// by current date and court running order. A run that opens its report
// closes the screen.
class CaseReport : public QWidget
{
    Q_OBJECT

public:
    explicit CaseReport(QWidget *parent = nullptr);
    ~CaseReport() override;

public slots:
    void showReport();

private:
    // The form's option for a party's history (the other is a case number's).
    QRadioButton *byPartyOption() const;

    Ui::CaseReport *ui;
};

// Shows the case report of a first party or a case number, the hearings in
// the order they were entered, headed "Parties : " or "Case No : " and the
// value: what the case register's Show Report prints. A data error is shown
// with its description and no window opens (nullptr).
report::ReportWindow *showCaseReport(CaseCriterion criterion, const QString &value,
                                     QWidget *parent = nullptr);
// The same, on the value another screen hands over: {"party"} or {"caseNo"}.
report::ReportWindow *showCaseReport(const QVariant &argument);

} // namespace lexordo
