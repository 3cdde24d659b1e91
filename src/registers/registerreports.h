#pragma once

#include <data/dataenvironment.h>
#include <reports/runtime/reportlayout.h>

namespace lexordo {

class RecordSet;

// The client list: name, phone and file number of every client a record set
// holds, in the order it holds them.
report::ReportLayout clientReportLayout();
// The rows of the client list, read from the record set as it stands
// (its filter and its sort).
ResultTable clientReportRows(const RecordSet &clients);

// One ruling, printed from the texts the rulings library shows.
struct RulingTexts
{
    QString section;
    QString citation;
    QString court;
    QString caseTitle;
    QString headNotes;
};
report::ReportLayout rulingReportLayout(const RulingTexts &ruling);

} // namespace lexordo
