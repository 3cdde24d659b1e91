#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace lexordo {

// Rows read for a report: column names and typed values (dates as QDate,
// numbers as double or qint64, NULL as an invalid QVariant).
struct ResultTable
{
    QStringList columns;
    QList<QVariantList> rows;

    int column(const QString &name) const; // letter case ignored; -1 when unknown
    QVariant value(int row, const QString &name) const;
    int rowCount() const { return int(rows.size()); }
};

// One group of a grouped command: its key (the values of the BY columns), its
// detail rows in the order of the inner select, and its totals by alias.
struct ResultGroup
{
    QVariantList key;
    QList<int> rows; // indexes into GroupedResult::detail
    QHash<QString, double> sums;

    double sum(const QString &alias) const { return sums.value(alias, 0.0); }
};

struct GroupedResult
{
    QString command;
    QStringList keyColumns;
    ResultTable detail;
    QList<ResultGroup> groups; // ordered by their keys
};

// A flat command: a select statement whose values are bound, never pasted in.
struct Command
{
    QString text;
    QVariantList values;
};

// The report commands of the data environment. Each run reads the tables
// afresh; nothing is kept between reports.
class DataEnvironment
{
public:
    enum class Grouping {
        AC,         // comAC_Grouping: tmpac_info by Name, with fee totals
        Annual,     // comAnnual_Grouping: tmpac_info by Gr, rows by date, with fee totals
        ManyDates,  // comManyDates_Grouping: tmpAdvocate by cdate
        NextBlank,  // conNextBlankDT_Grouping: tmpAdvocate by cdate, without decided/unattended
        SingleDate, // comSingleDate_Grouping: tmpAdvocate by CourtIndex, courtname
    };

    static QString commandName(Grouping grouping);
    static GroupedResult run(Grouping grouping);    // throws DataError
    static ResultTable run(const Command &command); // throws DataError

    // The fixed flat commands of the bill and receipt reports.
    static Command comBill();
    static Command comReceipt();
};

} // namespace lexordo
