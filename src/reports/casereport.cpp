#include "casereport.h"

#include "runtime/reportwindow.h"
#include "ui_casereport.h"

#include <data/dataerror.h>
#include <data/messenger.h>
#include <widgets/enterkey.h>
#include <widgets/screenhost.h>

namespace lexordo {

CaseReport::CaseReport(QWidget *parent) : QWidget(parent), ui(new Ui::CaseReport)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);

    connect(ui->cmdshowrepo, &QPushButton::clicked, this, &CaseReport::showReport);
    connect(ui->cmdexit, &QPushButton::clicked, this, [this] { closeScreen(this); });
    onEnterKey(ui->txtValue, [this] { showReport(); });
}

CaseReport::~CaseReport()
{
    delete ui;
}

QRadioButton *CaseReport::byPartyOption() const
{
    return ui->Option1_0;
}

void CaseReport::showReport()
{
    const CaseCriterion criterion =
        byPartyOption()->isChecked() ? CaseCriterion::Party : CaseCriterion::CaseNo;
    PreparedReport prepared;
    try {
        prepared = caseHistory(criterion, ui->txtValue->text(), true);
    } catch (const DataError &e) {
        showMessage(e.description());
        return;
    }
    report::ReportWindow *window =
        report::ReportWindow::open(prepared.layout, std::move(prepared.data));
    window->closeOnRelease(this);
    closeScreen(this);
}

report::ReportWindow *showCaseReport(CaseCriterion criterion, const QString &value, QWidget *parent)
{
    PreparedReport prepared;
    try {
        prepared = caseHistory(criterion, value, false);
    } catch (const DataError &e) {
        showMessage(e.description());
        return nullptr;
    }
    return report::ReportWindow::open(prepared.layout, std::move(prepared.data), parent);
}

report::ReportWindow *showCaseReport(const QVariant &argument)
{
    const QVariantMap of = argument.toMap();
    const bool party = of.contains(QStringLiteral("party"));
    return showCaseReport(
        party ? CaseCriterion::Party : CaseCriterion::CaseNo,
        of.value(party ? QStringLiteral("party") : QStringLiteral("caseNo")).toString());
}

} // namespace lexordo
