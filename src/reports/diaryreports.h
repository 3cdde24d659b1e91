#pragma once

#include "runtime/reportdata.h"
#include "runtime/reportlayout.h"

#include <data/dates.h>
#include <data/recordset.h>
#include <optional>

namespace lexordo {

// What the diary report screens and the print command share: the runs that
// select hearings, refill the work table, build the holiday note and make
// the report ready to lay out. No widgets here, so the same runs serve the
// screens and a command started without a display.

using dates::enterDateMessage;
inline const QString noRecordMessage =
    QStringLiteral("No Record in These Date Range Found, Try Again!!");

// A report with its header and footer texts set and its rows read.
struct PreparedReport
{
    report::ReportLayout layout;
    report::ReportData data;
};

// The holidays from a day (as typed) up to some days after it, in date
// order, each entry two blanks, the date, "-" and the name, with ", " after
// each entry when asked. Throws DataError when the day is not a date.
QString holidayNote(RecordSet &holidays, const QString &fromText, int days, bool commas);

// The diary of a range of current dates and the list of hearings without a
// next date: both select hearings by current date, copy them into the work
// table tmpAdvocate and print them grouped.
class HearingsByDate
{
public:
    enum class Kind {
        CurrentDates,   // every hearing of the range; one day gives the day's cause list
        BlankNextDates, // only hearings without a next date; always grouped by date
    };

    explicit HearingsByDate(Kind kind);

    // Runs the report for the two dates as typed. The holiday note is set
    // first (as far as it gets); a message is shown and nothing returned
    // when the dates are not usable or nothing is found.
    std::optional<PreparedReport> run(const QString &date1, const QString &date2,
                                      QString &holidayNote);

    int selectedCount() const { return m_selected; }

private:
    Kind m_kind;
    RecordSet m_holidays; // adoTemp
    int m_selected = 0;   // Mcount
};

// The cause list of the hearings whose next date is one day.
class NextDateCauseList
{
public:
    NextDateCauseList();

    std::optional<PreparedReport> run(const QString &date, QString &holidayNote);

private:
    RecordSet m_holidays; // adoTemp
};

// The court's item and hall under each case number of a cause list, from
// the places the court's own list gives (by normalised case number).
void addCourtItems(PreparedReport &prepared, const QHash<QString, QString> &places);

// The history of one case or one first party.
enum class CaseCriterion { Party, CaseNo };

// Reads the hearings (the value matched as typed, letter case ignored) and
// sets the heading "Parties : " or "Case No : " with the value. The party
// and case report screen lists them by date and court; the case register
// and the case summary take them in the order they were entered.
// Throws DataError.
PreparedReport caseHistory(CaseCriterion criterion, const QString &value, bool byDateAndCourt);

} // namespace lexordo
