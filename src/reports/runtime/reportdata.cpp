#include "reportdata.h"

namespace lexordo::report {

ReportData ReportData::flat(ResultTable table)
{
    ReportData data;
    ResultGroup all;
    all.rows.reserve(table.rowCount());
    for (int r = 0; r < table.rowCount(); ++r)
        all.rows << r;
    data.m_table = std::move(table);
    data.m_groups << all;
    return data;
}

ReportData ReportData::grouped(GroupedResult result)
{
    ReportData data;
    data.m_table = std::move(result.detail);
    data.m_groups = std::move(result.groups);
    data.m_grouped = true;
    return data;
}

void ReportData::clear()
{
    m_table = ResultTable();
    m_groups.clear();
}

} // namespace lexordo::report
