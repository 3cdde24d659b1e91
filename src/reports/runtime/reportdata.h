#pragma once

#include <data/dataenvironment.h>

namespace lexordo::report {

// What a report prints: the rows of a flat command, or the groups of a
// grouped command with their detail rows and totals.
class ReportData
{
public:
    ReportData() = default;
    static ReportData flat(ResultTable table);
    static ReportData grouped(GroupedResult result);

    bool isGrouped() const { return m_grouped; }
    const ResultTable &table() const { return m_table; }
    const QList<ResultGroup> &groups() const { return m_groups; }
    int rowCount() const { return m_table.rowCount(); }

    // Forgets the rows read (what a report window does when it lets go of them).
    void clear();

private:
    ResultTable m_table;
    QList<ResultGroup> m_groups; // a flat feed is one group without a key
    bool m_grouped = false;
};

} // namespace lexordo::report
