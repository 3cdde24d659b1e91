#include "nextdatereport.h"

#include "diarylayouts.h"
#include "runtime/reportwindow.h"
#include "ui_nextdatereport.h"

#include <data/clock.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <widgets/enterkey.h>
#include <widgets/screenhost.h>

namespace lexordo {

NextDateReport::NextDateReport(QWidget *parent) : QWidget(parent), ui(new Ui::NextDateReport)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->txtdate1->setText(dates::format(Clock::today()));

    connect(ui->cmdChangedate, &QPushButton::clicked, this, &NextDateReport::changeDate);
    connect(ui->cmdshowrepo, &QPushButton::clicked, this, &NextDateReport::showReport);
    connect(ui->cmdexit, &QPushButton::clicked, this, [this] { closeScreen(this); });
    onEnterKey(ui->txtdate1, [this] { showReport(); });
}

NextDateReport::~NextDateReport()
{
    delete ui;
}

void NextDateReport::changeDate()
{
    ui->txtdate1->setReadOnly(false);
    ui->txtdate1->setFocus();
    ui->txtdate1->selectAll();
}

void NextDateReport::showReport()
{
    askAdvocateNameOnce();
    QString note;
    std::optional<PreparedReport> prepared = m_run.run(ui->txtdate1->text(), note);
    ui->txtHdays->setText(note);
    if (!prepared)
        return;
    report::ReportWindow::open(prepared->layout, std::move(prepared->data));
    closeScreen(this);
}

report::ReportWindow *showCauseListWithCourtItems(const QVariant &argument)
{
    const QVariantMap of = argument.toMap();
    const QString day = dates::format(of.value(QStringLiteral("date")).toDate());
    QHash<QString, QString> places;
    const QVariantHash given = of.value(QStringLiteral("places")).toHash();
    for (auto it = given.cbegin(); it != given.cend(); ++it)
        places.insert(it.key(), it.value().toString());

    askAdvocateNameOnce();
    NextDateCauseList run;
    QString note;
    std::optional<PreparedReport> prepared = run.run(day, note);
    if (!prepared)
        return nullptr;
    if (prepared->data.rowCount() == 0) {
        showMessage(QStringLiteral("No hearing has its next date on %1; there is no cause list "
                                   "to print.")
                        .arg(day));
        return nullptr;
    }
    addCourtItems(*prepared, places);
    return report::ReportWindow::open(prepared->layout, std::move(prepared->data));
}

} // namespace lexordo
