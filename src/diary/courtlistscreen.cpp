#include "courtlistscreen.h"

#include "causeliststore.h"
#include "diarystore.h"
#include "ui_courtlistscreen.h"

#include <data/clock.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeWidgetItem>
#include <widgets/enterkey.h>
#include <widgets/guard.h>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>

namespace lexordo {

namespace {

enum Column {
    ItemColumn,
    HallColumn,
    CaseColumn,
    PartiesColumn,
    CourtColumn,
    DateColumn,
    NoteColumn
};
constexpr int groupRole = Qt::UserRole;
constexpr int rowRole = Qt::UserRole + 1;

QString parties(const courtlist::CheckRow &row)
{
    return row.party2.isEmpty() ? row.party1
                                : QStringLiteral("%1 vs. %2").arg(row.party1, row.party2);
}

} // namespace

CourtListScreen::CourtListScreen(QWidget *parent) : QWidget(parent), ui(new Ui::CourtListScreen)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // The court publishes the list in the evening for the next day it sits.
    QDate day = Clock::today();
    try {
        day = DiaryStore::nextWorkingDay(day);
    } catch (const DataError &) {
        // Without the holidays the next day is offered; the clerk sees it.
        day = day.addDays(1);
    }
    ui->txtListDate->setText(dates::format(day));
    ui->grdCheck->header()->setSectionResizeMode(QHeaderView::Interactive);
    ui->grdCheck->setColumnWidth(ItemColumn, 60);
    ui->grdCheck->setColumnWidth(HallColumn, 70);
    ui->grdCheck->setColumnWidth(CaseColumn, 120);
    ui->grdCheck->setColumnWidth(PartiesColumn, 260);
    ui->grdCheck->setColumnWidth(CourtColumn, 180);
    ui->grdCheck->setColumnWidth(DateColumn, 90);

    connect(ui->cmdBrowse, &QPushButton::clicked, this,
            [this] { guardAction([this] { browse(); }); });
    connect(ui->cmdCheck, &QPushButton::clicked, this,
            [this] { guardAction([this] { check(); }); });
    connect(ui->cmdAddToDiary, &QPushButton::clicked, this,
            [this] { guardAction([this] { addToDiary(); }); });
    connect(ui->cmdPrintItems, &QPushButton::clicked, this,
            [this] { guardAction([this] { printWithItems(); }); });
    connect(ui->cmdexit, &QPushButton::clicked, this, [this] { closeScreen(this); });
    connect(ui->grdCheck, &QTreeWidget::currentItemChanged, this, [this] { updateButtons(); });
    onEnterKey(ui->txtListDate, [this] { guardAction([this] { check(); }); });
    onEnterKey(ui->txtListFile, [this] { guardAction([this] { check(); }); });
}

CourtListScreen::~CourtListScreen()
{
    delete ui;
}

void CourtListScreen::browse()
{
    const QString file = QFileDialog::getOpenFileName(
        this, QStringLiteral("The Court's List"), ui->txtListFile->text(),
        QStringLiteral("Court's lists (*.pdf *.PDF *.html *.htm *.txt);;All files (*)"));
    if (file.isEmpty())
        return;
    ui->txtListFile->setText(file);
    check();
}

void CourtListScreen::check()
{
    const std::optional<QDate> day = dates::parse(ui->txtListDate->text().trimmed());
    if (!day) {
        showMessage(QStringLiteral("Enter The Date in DD/MM/YYYY Format "));
        ui->txtListDate->setFocus();
        return;
    }
    const QString file = ui->txtListFile->text().trimmed();
    if (file.isEmpty()) {
        showMessage(
            QStringLiteral("Choose the court's list: the file saved from the court's site."));
        ui->txtListFile->setFocus();
        return;
    }
    try {
        m_result = courtlist::checkListFile(*day, file);
    } catch (const DataError &e) {
        m_result.reset();
        showResult();
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Exclamation);
        return;
    }
    showResult();
}

void CourtListScreen::showResult()
{
    QTreeWidget *tree = ui->grdCheck;
    tree->clear();
    if (!m_result) {
        ui->lblSummary->setText(QString());
        updateButtons();
        return;
    }
    const courtlist::CheckResult &result = *m_result;
    const QString day = dates::format(result.day);
    const QColor danger(0xb0, 0x00, 0x00);

    struct Group
    {
        const QList<courtlist::CheckRow> *rows;
        QString title;
    };
    const Group groups[] = {
        {&result.notInDiary, QStringLiteral("Listed by the court, not in the diary for %1 (%2)")
                                 .arg(day)
                                 .arg(result.notInDiary.size())},
        {&result.listed,
         QStringLiteral("Listed by the court and in the diary (%1)").arg(result.listed.size())},
        {&result.notListed,
         QStringLiteral("In the diary for %1, not found in the court's list (%2)")
             .arg(day)
             .arg(result.notListed.size())},
    };
    for (int g = 0; g < 3; ++g) {
        auto *header = new QTreeWidgetItem(tree, {groups[g].title});
        header->setFirstColumnSpanned(true);
        QFont bold = header->font(0);
        bold.setBold(true);
        header->setFont(0, bold);
        header->setData(0, groupRole, g);
        header->setData(0, rowRole, -1);
        if (g == 0 && !groups[g].rows->isEmpty())
            header->setForeground(0, danger);
        for (int r = 0; r < groups[g].rows->size(); ++r) {
            const courtlist::CheckRow &row = groups[g].rows->at(r);
            QString note = row.warning;
            if (g == 2)
                note = QStringLiteral("Adjourned, or missed by the reading? Look again.");
            auto *item = new QTreeWidgetItem(
                header, {row.item, row.hall, row.caseNo, parties(row), row.court,
                         row.diaryDate.isValid() ? dates::format(row.diaryDate) : QString(), note});
            item->setData(0, groupRole, g);
            item->setData(0, rowRole, r);
            if (!row.printed.isEmpty())
                item->setToolTip(CaseColumn,
                                 QStringLiteral("The court prints: %1").arg(row.printed));
            if (!row.beside.isEmpty())
                item->setToolTip(PartiesColumn,
                                 QStringLiteral("The court prints: %1").arg(row.beside));
            if (!row.warning.isEmpty())
                item->setToolTip(NoteColumn, row.warning);
            if (g == 0) {
                for (int c = 0; c <= NoteColumn; ++c)
                    item->setForeground(c, danger);
            } else if (!row.warning.isEmpty()) {
                item->setForeground(NoteColumn, danger);
            }
        }
    }
    tree->expandAll();

    QString summary;
    if (result.notInDiary.isEmpty())
        summary = QStringLiteral(
                      "Every matter of the office that the court lists for %1 is in the diary. ")
                      .arg(day);
    else
        summary = QStringLiteral(
                      "%1 matter(s) listed by the court for %2 are NOT in the diary for that day. ")
                      .arg(result.notInDiary.size())
                      .arg(day);
    summary += QStringLiteral("%1 case(s) of the diary were looked for").arg(result.casesLookedFor);
    if (result.kind == courtlist::ListText::Kind::Pdf)
        summary += QStringLiteral(" in %1 page(s)").arg(result.pages);
    summary += u'.';
    ui->lblSummary->setText(summary);
    if (tree->topLevelItemCount() > 0 && !result.notInDiary.isEmpty())
        tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    updateButtons();
}

const courtlist::CheckRow *CourtListScreen::chosenMissed() const
{
    const QTreeWidgetItem *item = ui->grdCheck->currentItem();
    if (!m_result || !item || item->data(0, groupRole).toInt() != 0)
        return nullptr;
    const int row = item->data(0, rowRole).toInt();
    if (row < 0 || row >= m_result->notInDiary.size())
        return nullptr;
    return &m_result->notInDiary[row];
}

void CourtListScreen::updateButtons()
{
    ui->cmdAddToDiary->setEnabled(chosenMissed() != nullptr);
    ui->cmdPrintItems->setEnabled(m_result.has_value());
}

void CourtListScreen::printWithItems()
{
    ScreenHost *host = ScreenHost::current();
    if (!m_result || !host)
        return;
    QVariantHash places;
    for (auto it = m_result->places.cbegin(); it != m_result->places.cend(); ++it)
        places.insert(it.key(), it.value());
    // The cause list by next date is wired to take a day and the court's places.
    host->openScreen(screens::nextDateReport, QVariantMap{{QStringLiteral("date"), m_result->day},
                                                          {QStringLiteral("places"), places}});
}

void CourtListScreen::addToDiary()
{
    const courtlist::CheckRow *row = chosenMissed();
    if (!row)
        return;
    const QDate day = m_result->day;
    const CauseListStore::DiaryCase diaryCase = row->diaryCase;
    QString where;
    if (!row->item.isEmpty())
        where += QStringLiteral(" at item %1").arg(row->item);
    if (!row->hall.isEmpty())
        where += QStringLiteral(", court hall %1").arg(row->hall);
    QString question =
        QStringLiteral("The court lists %1 (%2) on %3%4. Put it in the diary for %3, "
                       "before %5?")
            .arg(row->caseNo, parties(*row), dates::format(day), where,
                 diaryCase.last.court.isEmpty() ? QStringLiteral("the same court")
                                                : diaryCase.last.court);
    if (CauseListStore::howToAdd(diaryCase, day) == CauseListStore::Added::FixedForDay) {
        const QDate was = diaryCase.last.nextDate();
        question +=
            QStringLiteral("\n\nIts hearing of %1 gets %2 as next date%3, and the day's "
                           "carry-forward lists it with the other hearings.")
                .arg(dates::format(diaryCase.last.currentDate()), dates::format(day),
                     was.isValid() ? QStringLiteral(" in place of %1").arg(dates::format(was))
                                   : QString());
    }
    if (!askYesNo(question, Messenger::Icon::Question))
        return;
    try {
        CauseListStore::addToDay(diaryCase, day);
    } catch (const DataError &e) {
        showMessage(e.description(), Messenger::Buttons::Ok, Messenger::Icon::Exclamation);
        return;
    }
    check(); // read afresh: the matter is now in the diary for the day
}

} // namespace lexordo
