#pragma once

#include "runtime/reportlayout.h"

namespace lexordo {

// The printed layouts of the diary reports, A4 portrait. Sections keep the
// names the screens address them by ("Section1", "Section2", ...).

// The cause list of one day: one group per court in running order.
report::ReportLayout singleDateLayout(); // drSingleDate

// The diary of a range of days: one group per current date.
report::ReportLayout manyDatesLayout(); // drManyDates

// The hearings still without a next date, by current date.
report::ReportLayout nextBlankLayout(); // drNextBlank

// The cause list of the hearings whose next date is one day.
report::ReportLayout todayRepoLayout(); // drTodayRepo
// Adds to it the court's item and hall (the column "courtitem") under each
// case number, for a list printed beside the court's own.
void addCourtItems(report::ReportLayout &layout);

// Before a cause list is printed from a screen: asks for the advocate's
// name that heads it when none is set yet, once while the program runs.
void askAdvocateNameOnce();

// The history of one case or one party.
report::ReportLayout casesLayout(); // drCases

} // namespace lexordo
