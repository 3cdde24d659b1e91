#include "conversionscreen.h"

#include "casediary.h"
#include "conversion.h"
#include "ui_conversionscreen.h"

#include <data/dataerror.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <data/recordsetmodel.h>
#include <QHeaderView>
#include <widgets/guard.h>
#include <widgets/recordgrid.h>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>
#include <widgets/valuelabel.h>

namespace lexordo {

namespace {

// The hearings fixed for a day, which the conversion carries to it.
RecordSource hearingsOfTheDay(const QDate &day)
{
    return RecordSource::table(QStringLiteral("advocate"))
        .where(Filter(QStringLiteral("ndate"), Filter::Op::Equal, day));
}

} // namespace

ConversionScreen::ConversionScreen(QWidget *parent)
    : QWidget(parent), ui(new Ui::ConversionScreen), m_hearings(std::make_unique<RecordSet>())
{
    ui->setupUi(this);
    ui->lblWarning->setVisible(false);
    firstPartyBox()->setVisible(false);
    ui->txtCdate->setReadOnly(true);

    m_model = new RecordSetModel(m_hearings.get(), this);
    tellReadFailures(m_model);
    m_model->setColumns({{QStringLiteral("Prev Date"), QStringLiteral("cdate")},
                         {QStringLiteral("courtname"), QStringLiteral("courtname")},
                         {QStringLiteral("caseno"), QStringLiteral("caseno")},
                         {QStringLiteral("Party1"), QStringLiteral("Party1")},
                         {QStringLiteral("Party2"), QStringLiteral("Party2")},
                         {QStringLiteral("fixedfor"), QStringLiteral("fixedforN")},
                         {QStringLiteral("NextDate"), QString()}});
    ui->DataGrid1->setModel(m_model);
    ui->DataGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->DataGrid1->horizontalHeader()->setStretchLastSection(true);
    GridColumns::attach(ui->DataGrid1, objectName() + QStringLiteral("/DataGrid1"))
        ->reserve(0, QStringLiteral("00/00/0000"));

    connect(ui->cmdinsertndate, &QPushButton::clicked, this,
            [this] { guardAction([this] { convert(); }); });
    connect(ui->cmdExit, &QPushButton::clicked, this, [this] { closeScreen(this); });
}

ConversionScreen::~ConversionScreen()
{
    delete ui;
}

QLineEdit *ConversionScreen::firstPartyBox() const
{
    return ui->Text1;
}

bool ConversionScreen::load(const QDate &day)
{
    m_day = day;
    ui->txtCdate->setText(dates::format(day));

    RecordSet recent(
        RecordSource::table(QStringLiteral("advocate"))
            .where(Filter(QStringLiteral("cdate"), Filter::Op::GreaterOrEqual, day.addDays(-30))));
    const QStringList dates = diary::datesWithoutNextDate(recent, day);
    if (!dates.isEmpty()) {
        showValue(ui->lblWarning, diary::warningCaption(dates));
        ui->lblWarning->setVisible(true);
    }

    m_hearings->open(hearingsOfTheDay(day));
    return m_hearings->rowCount() > 0;
}

void ConversionScreen::convert()
{
    // A conversion that could not be made is told; the screen stays.
    const diary::Conversion converted = diary::convertHearings(*m_hearings, m_day);
    if (!converted.message.isEmpty())
        showMessage(converted.message);
    if (converted.failed > 0)
        return;

    // Back to the register, which shows the newest listings at its end.
    closeScreen(this);
    if (CaseDiary *caseRegister = CaseDiary::open()) {
        caseRegister->refreshAtLastRow();
        caseRegister->showMaximizedInFront();
    }
}

void startConversion()
{
    const std::optional<QString> answer = askInput(
        QStringLiteral("Enter Next Date(This is Done for single time only for a particular date)"),
        QStringLiteral("Blank Next Date Entry "));
    if (!answer || answer->trimmed().isEmpty())
        return;
    const std::optional<QDate> day = dates::parse(*answer);
    if (!day) {
        showMessage(dates::enterDateMessage);
        return;
    }

    // The conversion screen and the register are never open together.
    CaseDiary::close();
    if (CaseDiary::find())
        return; // the register kept its unsaved work open

    RecordSet due(hearingsOfTheDay(*day));
    if (due.rowCount() == 0) {
        showMessage(QStringLiteral("Record Not Found "));
        return;
    }
    ScreenHost *host = ScreenHost::current();
    auto *screen =
        host ? qobject_cast<ConversionScreen *>(host->openScreen(screens::conversion)) : nullptr;
    if (!screen)
        return;
    screen->load(*day);
    showMaximizedInFront(screen);
}

} // namespace lexordo
