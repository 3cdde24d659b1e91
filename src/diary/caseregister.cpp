#include "caseregister.h"

#include "courtlistscreen.h"
#include "diarycelldelegate.h"
#include "ui_caseregister.h"

#include <data/clock.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <data/recordset.h>
#include <data/recordsetmodel.h>
#include <diary/carryforward.h>
#include <diary/diarystore.h>
#include <diary/missedhearings.h>
#include <diary/nextdate.h>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <widgets/guard.h>
#include <widgets/movingband.h>
#include <widgets/recordgrid.h>
#include <widgets/screenhost.h>
#include <widgets/screennames.h>

namespace lexordo {

namespace {

const RecordSource diarySource =
    RecordSource::table(QStringLiteral("advocate")).orderBy(QStringLiteral("cdate, courtindex"));
const QString beforeHearingQuestion =
    QStringLiteral("The next date is before this hearing's date. Do you want to continue?");

// The grid's columns, in the order shown.
enum GridColumn { CurrentDate, PrevDate, CourtName, CaseNo, Party1, Party2, FixedFor, NextDate };

constexpr QAbstractItemView::EditTriggers gridEditTriggers = QAbstractItemView::SelectedClicked |
                                                             QAbstractItemView::EditKeyPressed |
                                                             QAbstractItemView::AnyKeyPressed;

} // namespace

CaseRegister::CaseRegister(QWidget *parent) : RecordScreen(parent), ui(new Ui::CaseRegister)
{
    ui->setupUi(this);
    setButtonName(Role::Previous, QStringLiteral("cmdprev"));
    setButtonName(Role::Exit, QStringLiteral("cmdexit"));
    setReloadAfterDelete(false);
    const QDate today = Clock::today();

    // The diary is read once.
    openRecordSet(diarySource);
    m_courts = addRecordSet(
        QStringLiteral("adoCourts"),
        RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    m_total = addRecordSet(
        QStringLiteral("adoTotal"),
        RecordSource::query(QStringLiteral("select distinct (caseno),party1 from advocate")));

    // The opening: its steps do not depend on one another, and the register
    // opens whatever fails; the failure is told.
    guardAction([] {
        ScreenHost *host = ScreenHost::current();
        if (host)
            closeScreen(host->findScreen(screens::conversion));
    });
    guardAction([this] {
        for (int row = 0; row < m_courts->rowCount(); ++row)
            ui->txtCourt->addItem(m_courts->textAt(row, 0));
    });
    // Before the fields and the grid follow the diary, so that the new rows
    // cost nothing to show.
    // The carry-forward ends at the last row; the diary is read once, after it.
    const diary::CarryForward carried = diary::carryForward(*recordSet(), today);
    if (!carried.message.isEmpty())
        showMessage(carried.message);
    guardAction([this] { countCases(); });
    // Asked on the day's first opening, when the carry-forward has run.
    if (carried.outcome == diary::CarryForward::Outcome::CarriedForward)
        guardAction([this, today] { offerMissedHearings(today); });

    bind(ui->txtCdate, QStringLiteral("cdate"), Lock::Never);
    bind(ui->txtPdate, QStringLiteral("pdate"), Lock::Never);
    bind(ui->txtCourt, QStringLiteral("courtname"), Lock::Never);
    bind(ui->txtCourtNo, QStringLiteral("CourtIndex"), Lock::Never);
    bind(ui->txtCaseNo, QStringLiteral("caseno"), Lock::Never);
    bind(ui->txtParties, QStringLiteral("Party1"), Lock::Never);
    bind(ui->txtParty2, QStringLiteral("Party2"), Lock::Never);
    bind(ui->txtFixed4, QStringLiteral("fixedfor"), Lock::Never);
    bind(ui->txtNdate, QStringLiteral("ndate"), Lock::Never);
    diary::offerHint(ui->txtNdate);
    // The day offered after a refused next date belongs to that row only.
    connect(recordSet(), &RecordSet::positionChanged, ui->txtNdate,
            [this] { ui->txtNdate->setPlaceholderText(QString()); });
    bind(ui->txtFixedForN, QStringLiteral("fixedforN"), Lock::Never);
    bind(ui->txtRemarks, QStringLiteral("remarks"), Lock::Never);
    // The court, the next fixed-for text and the remarks stay open for typing.
    setLocked({ui->txtCdate, ui->txtPdate, ui->txtCaseNo, ui->txtParties, ui->txtParty2,
               ui->txtFixed4, ui->txtNdate},
              true);

    // The captions as the register has always had them; each says in words
    // what it holds when pointed at.
    setGrid(
        ui->DataGrid1,
        {{QStringLiteral("Current date"), QStringLiteral("cdate"), QStringLiteral("Current date")},
         {QStringLiteral("PrevDate"), QStringLiteral("pdate"), QStringLiteral("Previous date")},
         {QStringLiteral("courtname"), QStringLiteral("courtname"), QStringLiteral("Court")},
         {QStringLiteral("Caseno"), QStringLiteral("caseno"), QStringLiteral("Case number")},
         {QStringLiteral("Party1"), QStringLiteral("Party1"), QStringLiteral("First party")},
         {QStringLiteral("Party2"), QStringLiteral("Party2"), QStringLiteral("Second party")},
         {QStringLiteral("Fixedfor"), QStringLiteral("fixedfor"), QStringLiteral("Fixed for")},
         {QStringLiteral("NextDate"), QStringLiteral("ndate"), QStringLiteral("Next date")},
         {QStringLiteral("NextFixedfor"), QStringLiteral("fixedforN"),
          QStringLiteral("Fixed for next date")},
         {QStringLiteral("Remarks"), QStringLiteral("remarks"), QStringLiteral("Remarks")}});
    // A click on a header sorts what is shown by that column; nothing stored changes.
    ui->DataGrid1->horizontalHeader()->setSectionsClickable(true);
    ui->DataGrid1->horizontalHeader()->setSortIndicatorShown(false);
    connect(ui->DataGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int column) { guardAction([&] { sortByColumn(column); }); });
    m_cellDelegate = new diary::DiaryCellDelegate(ui->DataGrid1);
    ui->DataGrid1->setItemDelegate(m_cellDelegate);
    // A modal question must not open while the grid is still closing its editor.
    m_cellDelegate->stored = [this](const QModelIndex &index) {
        if (index.column() != NextDate)
            return;
        const QPersistentModelIndex cell(index);
        QMetaObject::invokeMethod(
            this, [this, cell] { guardAction([&] { checkGridNextDate(cell); }); },
            Qt::QueuedConnection);
    };
    m_cellDelegate->refused = [this](const QModelIndex &index, const QString &text) {
        const QPersistentModelIndex cell(index);
        QMetaObject::invokeMethod(
            this, [this, cell, text] { guardAction([&] { gridEditRefused(cell, text); }); },
            Qt::QueuedConnection);
    };
    setGridEditable(true);
    connect(ui->DataGrid1, &QAbstractItemView::doubleClicked, this,
            [this] { guardAction([this] { showPartyHistory(); }); });

    m_totalModel = new RecordSetModel(m_total, this);
    tellReadFailures(m_totalModel);
    m_totalModel->setColumns({{QStringLiteral("caseno"), QStringLiteral("caseno")},
                              {QStringLiteral("parties"), QStringLiteral("party1")}});
    ui->DataGrid2->verticalHeader()->setDefaultSectionSize(ui->DataGrid2->fontMetrics().height() +
                                                           8);
    ui->DataGrid2->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ui->DataGrid2->horizontalHeader()->setStretchLastSection(true);

    onClicked(ui->cmdDecided, [this] { showDecidedCases(); });
    onClicked(refreshButton(), [this] { refreshDataBase(); });
    onClicked(ui->cmdshowlist, [this] { showList(true); });
    onClicked(ui->cmdhidelist, [this] { showList(false); });
    onClicked(ui->cmdCheckList, [] {
        if (ScreenHost *host = ScreenHost::current())
            host->openScreen(screens::courtList);
    });
    // The history of the party shown, printed.
    onClicked(ui->cmdshowrepo, [this] {
        if (ScreenHost *host = ScreenHost::current())
            host->openScreen(screens::partyHistory,
                             QVariantMap{{QStringLiteral("party"), ui->txtParties->text()}});
    });
    onClicked(ui->cmdSeeDetails, [this] { seeClientsDetails(); });

    // The band at the top and the cyan block that runs along it.
    m_band = new MovingBand(this, ui->Label9, ui->lblcomfort);

    start(Start::Browse);
    // Hearings entered at other desks show here as they are stored.
    followChangesElsewhere(ui->lblChangedElsewhere);
    // A date column has room for a date even while all its cells are blank.
    for (int column : {CurrentDate, PrevDate, NextDate})
        GridColumns::of(ui->DataGrid1)->reserve(column, QStringLiteral("00/00/0000"));
    ui->cmdexit->setEnabled(true);
    ui->cmdshowrepo->hide();
    ui->DataGrid2->hide();
    ui->hiddenFields->hide();
}

CaseRegister::~CaseRegister()
{
    // A cell still being edited is closed with the grid, after the register.
    m_cellDelegate->stored = nullptr;
    m_cellDelegate->refused = nullptr;
    delete ui;
}

// --- what the diary's other screens use ---------------------------------------------

RecordSet *CaseRegister::diary()
{
    // Whoever filters or re-reads the diary next must not drop what was typed.
    storeTypedFields();
    return recordSet();
}

void CaseRegister::showMaximizedInFront()
{
    RecordScreen::showMaximizedInFront();
}

void CaseRegister::refreshAtLastRow()
{
    storeTypedFields();
    recordSet()->requery();
    recordSet()->moveLast();
    refreshTotal();
}

// --- the steps of the register ---------------------------------------------------------

void CaseRegister::add()
{
    if (!storeTypedFields())
        return;
    if (!askYesNo(QStringLiteral("Do you really want to add record")))
        return;
    // A row that cannot be added leaves the register browsing.
    recordSet()->addNew();
    ui->txtCdate->setText(dates::format(Clock::today()));
    enterEditState();
    // The count does not hold up the new row.
    guardAction([this] { refreshTotal(); });
    // The date is filled in: typing replaces it.
    focusFirstField();
}

// Change Court Index: the court is chosen again, and the lookup stores the row.
void CaseRegister::modify()
{
    setFieldLocked(ui->txtCourt, false);
    m_changeCourt = true;
    ui->txtCourt->setFocus(Qt::OtherFocusReason);
}

void CaseRegister::save()
{
    // A row the database refuses is reported and stays on the screen, typed
    // as it was; nothing is dropped by the re-read below.
    if (!storePendingRow())
        return;
    // The row saved is found again after the re-read, wherever its date puts it.
    QVariantList saved;
    for (const QString &column : savedRowKey())
        saved << recordSet()->value(column);
    enterBrowseState();
    recordSet()->requery();
    recordSet()->moveLast();
    goToRow(saved);
    refreshTotal();
}

// The columns that tell one listing from another.
QStringList CaseRegister::savedRowKey()
{
    return {QStringLiteral("cdate"),  QStringLiteral("CourtIndex"), QStringLiteral("caseno"),
            QStringLiteral("Party1"), QStringLiteral("Party2"),     QStringLiteral("courtname")};
}

// Goes to the row holding these values of savedRowKey(), the newest first.
void CaseRegister::goToRow(const QVariantList &values)
{
    const QStringList key = savedRowKey();
    if (values.size() != key.size())
        return;
    QList<int> columns;
    for (const QString &name : key)
        columns << recordSet()->fieldIndex(name);
    for (int row = recordSet()->rowCount() - 1; row >= 0; --row) {
        bool same = true;
        for (int i = 0; same && i < columns.size(); ++i)
            same = recordSet()->valueAt(row, columns[i]) == values[i];
        if (same) {
            recordSet()->moveTo(row);
            return;
        }
    }
}

void CaseRegister::deleteRecord()
{
    RecordScreen::deleteRecord();
    refreshTotal();
}

void CaseRegister::moveFirst()
{
    if (storeTypedFields())
        recordSet()->moveFirst();
}

void CaseRegister::moveLast()
{
    if (storeTypedFields())
        recordSet()->moveLast();
}

void CaseRegister::find()
{
    if (!storeTypedFields())
        return;
    if (ScreenHost *host = ScreenHost::current())
        host->openScreen(screens::caseSearch);
}

void CaseRegister::enterEditState()
{
    RecordScreen::enterEditState();
    setLocked({ui->txtRemarks, ui->txtCdate, ui->txtPdate, ui->txtCourt, ui->txtCaseNo,
               ui->txtParties, ui->txtParty2, ui->txtFixed4, ui->txtNdate},
              false);
    // While a row is being added nothing else is stored, filtered or re-read.
    setGridEditable(false);
    ui->cmdDecided->setEnabled(false);
    refreshButton()->setEnabled(false);
}

void CaseRegister::enterBrowseState()
{
    RecordScreen::enterBrowseState();
    setLocked({ui->txtCdate, ui->txtPdate, ui->txtCaseNo, ui->txtParties, ui->txtParty2,
               ui->txtFixed4, ui->txtNdate, ui->txtRemarks},
              true);
    setGridEditable(true);
    ui->cmdDecided->setEnabled(true);
    refreshButton()->setEnabled(true);
}

void CaseRegister::setLocked(const QList<QWidget *> &fields, bool locked)
{
    for (QWidget *field : fields)
        setFieldLocked(field, locked);
}

QPushButton *CaseRegister::refreshButton() const
{
    return ui->Command1;
}

void CaseRegister::setGridEditable(bool editable)
{
    gridModel()->setEditable(editable);
    ui->DataGrid1->setEditTriggers(editable ? gridEditTriggers : QAbstractItemView::NoEditTriggers);
}

void CaseRegister::fieldFocusOut(QWidget *field)
{
    if (field == ui->txtCourt)
        lookUpCourt();
    else if (field == ui->txtNdate)
        checkNextDate();
}

// --- court lookup -------------------------------------------------------------------------

// The court's index follows the court.
void CaseRegister::lookUpCourt()
{
    // An empty box names no court: nothing to look up, as an empty next date
    // is not checked.
    if (ui->txtCourt->currentText().trimmed().isEmpty())
        return;
    const std::optional<QVariant> found = DiaryStore::courtIndex(ui->txtCourt->currentText());
    if (!found) {
        showMessage(QStringLiteral("This court does not exist"));
        return;
    }
    const QString index = found->toString();
    if (ui->txtCourtNo->text() != index)
        ui->txtCourtNo->setText(index);
    if (m_changeCourt) {
        // The change of court ends here, stored or not; a refusal is told.
        m_changeCourt = false;
        setFieldLocked(ui->txtCourt, true);
        if (storeTypedFields())
            recordSet()->updateBatch();
    }
}

// --- next-date check --------------------------------------------------------------------------

void CaseRegister::checkNextDate()
{
    const QString text = ui->txtNdate->text();
    if (text.trimmed().isEmpty())
        return;
    const std::optional<QDate> date = dates::parse(text);
    if (!date) {
        // The text stays for correction.
        showMessage(dates::enterDateMessage);
        returnFocusTo(ui->txtNdate);
        return;
    }
    const std::optional<QDate> hearing = dates::parse(ui->txtCdate->text());
    if (confirmNextDate(*date, hearing.value_or(QDate())))
        return;
    ui->txtNdate->clear();
    returnFocusTo(ui->txtNdate);
    ui->txtNdate->setPlaceholderText(workingDayHint(*date, hearing.value_or(QDate())));
}

void CaseRegister::checkGridNextDate(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const int row = index.row();
    const QVariant date =
        recordSet()->valueAt(row, recordSet()->fieldIndex(QStringLiteral("ndate")));
    if (date.typeId() != QMetaType::QDate)
        return; // cleared: nothing to ask
    const QVariant hearing =
        recordSet()->valueAt(row, recordSet()->fieldIndex(QStringLiteral("cdate")));
    if (confirmNextDate(date.toDate(), hearing.toDate()))
        return;
    gridModel()->setData(index, QString(), Qt::EditRole);
    // Back into the cleared cell, the next working day offered.
    if (!gridModel()->flags(index).testFlag(Qt::ItemIsEditable))
        return;
    m_cellDelegate->hint(index, workingDayHint(date.toDate(), hearing.toDate()));
    ui->DataGrid1->setCurrentIndex(index);
    ui->DataGrid1->setFocus(Qt::OtherFocusReason);
    ui->DataGrid1->edit(index);
}

// No hearing is adjourned into the past, nor to a day the courts do not sit:
// such a next date is questioned. False when the user answers No.
bool CaseRegister::confirmNextDate(const QDate &date, const QDate &hearing)
{
    if (hearing.isValid() && date < hearing && !askYesNo(beforeHearingQuestion))
        return false;
    const std::optional<QString> question = diary::nextDateQuestion(date);
    return !question || askYesNo(*question);
}

// The day offered in place of a refused next date, as it is typed: the first
// day the courts sit after it (after the hearing, for a date before it).
QString CaseRegister::workingDayHint(const QDate &refused, const QDate &hearing)
{
    const QDate from = hearing.isValid() ? std::max(refused, hearing) : refused;
    return dates::format(DiaryStore::nextWorkingDay(from));
}

void CaseRegister::gridEditRefused(const QModelIndex &index, const QString &text)
{
    showMessage(dates::enterDateMessage);
    if (!index.isValid() || !gridModel()->flags(index).testFlag(Qt::ItemIsEditable))
        return;
    // Back into the cell, with what was typed, for correction.
    m_cellDelegate->retype(index, text);
    ui->DataGrid1->setCurrentIndex(index);
    ui->DataGrid1->setFocus(Qt::OtherFocusReason);
    ui->DataGrid1->edit(index);
}

// --- hearings due on days the diary was not opened -------------------------------------------

void CaseRegister::offerMissedHearings(const QDate &today)
{
    const DiaryStore::MissedHearings missed = DiaryStore::missedHearings(today);
    if (missed.count == 0)
        return;
    const QString text = diary::missedHearingsText(missed);
    switch (showMessage(text, Messenger::Buttons::YesNoCancel)) {
    case Messenger::Answer::Yes:
        DiaryStore::listMissedHearings(today);
        recordSet()->requery();
        recordSet()->moveLast();
        refreshTotal();
        break;
    case Messenger::Answer::No:
        // The diary from the first of those days, by next date.
        recordSet()->setFilter(
            Filter(QStringLiteral("ndate"), Filter::Op::GreaterOrEqual, missed.dates.first())
                .andWhere(QStringLiteral("ndate"), Filter::Op::Less, today));
        break;
    default:
        break;
    }
}

// --- the register's own buttons ------------------------------------------------------------

void CaseRegister::showDecidedCases()
{
    if (!storeTypedFields())
        return;
    recordSet()->setFilter(
        Filter(QStringLiteral("remarks"), Filter::Op::BeginsWith, QStringLiteral("deci")));
    showTotal(recordSet()->rowCount());
    m_totalCountsView = true;
}

// The history of the party of the row double-clicked.
void CaseRegister::showPartyHistory()
{
    if (state() == State::Edit || !storeTypedFields())
        return;
    const QString party = ui->txtParties->text();
    if (!party.isEmpty())
        recordSet()->setFilter(Filter(QStringLiteral("Party1"), Filter::Op::Equal, party));
    ui->cmdshowrepo->show();
    showTotal(recordSet()->rowCount());
    m_totalCountsView = true;
}

void CaseRegister::refreshDataBase()
{
    ui->cmdshowrepo->hide();
    if (!storeTypedFields())
        return;
    recordSet()->requery();
    if (!recordSet()->isEOF())
        recordSet()->moveLast();
    // The total counts the cases as they are now, new ones included.
    refreshTotal();
}

void CaseRegister::sortByColumn(int column)
{
    QHeaderView *header = ui->DataGrid1->horizontalHeader();
    if (state() == State::Edit || !storeTypedFields()) {
        header->setSortIndicatorShown(m_sortColumn >= 0);
        return;
    }
    const QString field = gridModel()->columns().value(column).field;
    if (field.isEmpty())
        return;
    m_sortDescending = column == m_sortColumn && !m_sortDescending;
    m_sortColumn = column;
    recordSet()->setSort(field + (m_sortDescending ? QStringLiteral(" desc") : QString()));
    header->setSortIndicatorShown(true);
    header->setSortIndicator(column, m_sortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CaseRegister::showChangesElsewhere()
{
    RecordScreen::showChangesElsewhere();
    m_total->requery();
    if (m_totalCountsView)
        showTotal(recordSet()->rowCount());
    else
        countCases();
}

void CaseRegister::refreshTotal()
{
    m_total->requery();
    countCases();
}

void CaseRegister::showList(bool allCases)
{
    // The list of all cases is read when it is first asked for, not with
    // the register: on a large diary it is the slowest read of all.
    if (allCases && !ui->DataGrid2->model()) {
        ui->DataGrid2->setModel(m_totalModel);
        GridColumns::attach(ui->DataGrid2, objectName() + QStringLiteral("/DataGrid2"));
    }
    ui->DataGrid2->setVisible(allCases);
    ui->DataGrid1->setVisible(!allCases);
}

// The number of different cases, as the diary keeps it. A large diary that
// keeps none (opened read-only before it could) is counted in the
// background, so that the register answers at once; the number follows when
// ready.
void CaseRegister::countCases()
{
    constexpr int countNowUpTo = 100000; // hearings
    m_totalCountsView = false;
    if (DiaryStore::casesAreKept() || DiaryStore::countHearings() <= countNowUpTo) {
        showTotal(DiaryStore::countCases());
        return;
    }
    ui->txtTotal->clear();
    DiaryStore::countCasesInBackground(
        this,
        [this](int count) {
            if (ui->txtTotal->text().isEmpty()) // no other count was shown meanwhile
                showTotal(count);
        },
        [](const QString &error) { showMessage(error); });
}

void CaseRegister::showTotal(int count)
{
    ui->txtTotal->setText(QString::number(count));
}

void CaseRegister::showEvent(QShowEvent *event)
{
    RecordScreen::showEvent(event);
    // The clerk works here all day: the register first opens over the whole
    // main window, with as many hearings in view as fit.
    if (!m_shownBefore) {
        m_shownBefore = true;
        auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
        if (QMdiArea *area = frame ? frame->mdiArea() : nullptr)
            frame->setGeometry(area->viewport()->rect());
    }
}

// The clients of the case shown: by its number, or else by its parties. An
// open clients register is filtered where it stands, not brought forward.
void CaseRegister::seeClientsDetails()
{
    ScreenHost *host = ScreenHost::current();
    if (!host)
        return;
    const QVariantMap clientsOf{{QStringLiteral("caseNo"), ui->txtCaseNo->text()},
                                {QStringLiteral("parties"), ui->txtParties->text()}};
    if (!host->openScreen(screens::clients, clientsOf))
        showMessage(QStringLiteral("The clients register could not be opened."));
}

} // namespace lexordo
