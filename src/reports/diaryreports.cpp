#include "diaryreports.h"

#include "diarylayouts.h"

#include <data/database.h>
#include <data/dataenvironment.h>
#include <data/dataerror.h>
#include <data/dates.h>
#include <data/messenger.h>
#include <data/sqlquery.h>
#include <diary/courtlistcheck.h>
#include <diary/diarystore.h>

namespace lexordo {

namespace {

const QString dateColumn = QStringLiteral("Date");

// Makes a record set show the table as it is now: opened if it is not open
// yet, else re-read (which costs nothing when nothing was written since).
void refresh(RecordSet &records, const RecordSource &source)
{
    if (!records.isOpen())
        records.open(source);
    else
        records.requery();
}

// Opening a screen reads its record sets; a failure there waits for the
// run, which reports it.
bool openQuietly(RecordSet &records, const RecordSource &source)
{
    try {
        records.open(source);
        return true;
    } catch (const DataError &) {
        return false;
    }
}

} // namespace

QString holidayNote(RecordSet &holidays, const QString &fromText, int days, bool commas)
{
    const QVariant from = RecordSet::convert(RecordSet::FieldType::Date, dateColumn, fromText);
    Filter window(dateColumn, Filter::Op::GreaterOrEqual, fromText);
    if (from.isValid())
        window.andWhere(dateColumn, Filter::Op::LessOrEqual, from.toDate().addDays(days));
    holidays.setFilter(window); // an empty day is refused here
    if (holidays.sort().isEmpty())
        holidays.setSort(dateColumn);

    QString note;
    for (int i = 0, n = holidays.rowCount(); i < n; ++i) {
        holidays.moveTo(i);
        note += QStringLiteral("  ") + holidays.text(0) + u'-' + holidays.text(1);
        if (commas)
            note += QStringLiteral(", ");
    }
    return note;
}

// --- hearings by current date ------------------------------------------------------------

namespace {

RecordSource holidaysSource(HearingsByDate::Kind kind)
{
    return kind == HearingsByDate::Kind::CurrentDates
               ? RecordSource::table(QStringLiteral("holidays")).orderBy(QStringLiteral("date"))
               : RecordSource::table(QStringLiteral("Holidays"));
}

} // namespace

HearingsByDate::HearingsByDate(Kind kind) : m_kind(kind)
{
    openQuietly(m_holidays, holidaysSource(kind));
}

std::optional<PreparedReport> HearingsByDate::run(const QString &date1, const QString &date2,
                                                  QString &note)
{
    note.clear();
    try {
        refresh(m_holidays, holidaysSource(m_kind));

        note = holidayNote(m_holidays, date2, 120, m_kind == Kind::CurrentDates);

        const std::optional<QDate> first = dates::parse(date1);
        if (!first) {
            showMessage(enterDateMessage);
            return std::nullopt;
        }

        const QDate last =
            RecordSet::convert(RecordSet::FieldType::Date, QStringLiteral("cdate"), date2).toDate();
        // The work table is refilled and read in one transaction: another
        // run, of this program or another copy, cannot refill it in between.
        // When nothing is selected it keeps what it held.
        Database::Transaction transaction;
        m_selected = DiaryStore::refillWorkTable(*first, last, m_kind == Kind::BlankNextDates);
        if (m_selected < 1) {
            showMessage(noRecordMessage);
            return std::nullopt;
        }

        PreparedReport prepared;
        if (m_kind == Kind::CurrentDates && *first == last) {
            prepared.layout = singleDateLayout();
            prepared.layout.setLabel(QStringLiteral("section1"), QStringLiteral("lbldate1"),
                                     dates::format(*first));
            prepared.layout.setLabel(QStringLiteral("section1"), QStringLiteral("lblday"),
                                     dates::weekdayLabel(*first));
            prepared.data = report::ReportData::grouped(
                DataEnvironment::run(DataEnvironment::Grouping::SingleDate));
        } else {
            const bool blank = m_kind == Kind::BlankNextDates;
            prepared.layout = blank ? nextBlankLayout() : manyDatesLayout();
            prepared.layout.setLabel(QStringLiteral("section1"), QStringLiteral("lbldate1"), date1);
            prepared.layout.setLabel(QStringLiteral("section1"), QStringLiteral("lbldate2"), date2);
            prepared.data = report::ReportData::grouped(
                DataEnvironment::run(blank ? DataEnvironment::Grouping::NextBlank
                                           : DataEnvironment::Grouping::ManyDates));
        }
        prepared.layout.setLabel(QStringLiteral("section2"), QStringLiteral("lblhdays"), note);
        transaction.commit();
        return prepared;
    } catch (const DataError &e) {
        showMessage(e.description());
        return std::nullopt;
    }
}

// --- cause list by next date -----------------------------------------------------------------

NextDateCauseList::NextDateCauseList()
{
    openQuietly(m_holidays, RecordSource::table(QStringLiteral("Holidays")));
}

std::optional<PreparedReport> NextDateCauseList::run(const QString &date, QString &note)
{
    note.clear();
    const std::optional<QDate> day = dates::parse(date);
    if (!day) {
        showMessage(enterDateMessage);
        return std::nullopt;
    }
    try {
        refresh(m_holidays, RecordSource::table(QStringLiteral("Holidays")));
        note = holidayNote(m_holidays, date, 90, false);

        PreparedReport prepared;
        prepared.layout = todayRepoLayout();
        prepared.layout.setLabel(QStringLiteral("section1"), QStringLiteral("lbldate"), date);
        prepared.layout.setLabel(QStringLiteral("section2"), QStringLiteral("lblhdays"), note);
        prepared.data = report::ReportData::flat(DataEnvironment::run(Command{
            QStringLiteral("select * from advocate where ndate = ? order by ndate,courtindex"),
            {*day}}));
        return prepared;
    } catch (const DataError &e) {
        showMessage(e.description());
        return std::nullopt;
    }
}

void addCourtItems(PreparedReport &prepared, const QHash<QString, QString> &places)
{
    prepared.data =
        report::ReportData::flat(courtlist::withCourtItems(prepared.data.table(), places));
    addCourtItems(prepared.layout);
}

// --- case and party history ---------------------------------------------------------------------

PreparedReport caseHistory(CaseCriterion criterion, const QString &value, bool byDateAndCourt)
{
    const bool party = criterion == CaseCriterion::Party;
    QString text = party ? QStringLiteral("select * from advocate where party1 = ? collate nocase")
                         : QStringLiteral("select * from advocate where caseno = ? collate nocase");
    // Otherwise in the order the hearings were entered, which an index on the
    // column searched need not keep.
    text += byDateAndCourt ? QStringLiteral(" order by cdate,courtindex")
                           : QStringLiteral(" order by ") + sql::rowKey();

    PreparedReport prepared;
    prepared.layout = casesLayout();
    prepared.layout.setLabel(QStringLiteral("section1"), QStringLiteral("lblHEAD"),
                             (party ? QStringLiteral("Parties") : QStringLiteral("Case No")) +
                                 QStringLiteral(" : "));
    prepared.layout.setLabel(QStringLiteral("section1"), QStringLiteral("lblparties"), value);
    prepared.data = report::ReportData::flat(DataEnvironment::run(Command{text, {value}}));
    return prepared;
}

} // namespace lexordo
