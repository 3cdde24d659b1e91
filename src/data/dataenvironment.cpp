#include "dataenvironment.h"

#include "database.h"
#include "dataerror.h"
#include "dates.h"
#include "sqlquery.h"
#include "valuecodec.h"

#include <algorithm>

namespace lexordo {

int ResultTable::column(const QString &name) const
{
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant ResultTable::value(int row, const QString &name) const
{
    const int c = column(name);
    if (c < 0 || row < 0 || row >= rows.size())
        return QVariant();
    return rows[row][c];
}

namespace {

struct GroupedCommand
{
    const char *name;
    const char *inner;
    QStringList by;
    QList<QPair<QString, QString>> sums; // column, alias
};

const QList<QPair<QString, QString>> feeTotals = {
    {QStringLiteral("Legal Fees"), QStringLiteral("AgNLFees")},
    {QStringLiteral("CourtFees"), QStringLiteral("AgCFees")},
    {QStringLiteral("Misc"), QStringLiteral("AgMisc")},
    {QStringLiteral("Received"), QStringLiteral("AgRec")},
    {QStringLiteral("Balance"), QStringLiteral("AgBal")},
};

GroupedCommand groupedCommand(DataEnvironment::Grouping grouping)
{
    switch (grouping) {
    case DataEnvironment::Grouping::AC:
        return {"comAC_Grouping", "select * from tmpac_info", {QStringLiteral("Name")}, feeTotals};
    case DataEnvironment::Grouping::Annual:
        return {"comAnnual_Grouping",
                "select * from tmpac_info order by transdate",
                {QStringLiteral("Gr")},
                feeTotals};
    case DataEnvironment::Grouping::ManyDates:
        return {"comManyDates_Grouping",
                "select * from tmpAdvocate order by courtindex, Party1 collate nocase",
                {QStringLiteral("cdate")},
                {}};
    case DataEnvironment::Grouping::NextBlank:
        // Hearings without remarks are listed; only decided and unattended
        // ones are left out.
        return {"conNextBlankDT_Grouping",
                "select * from tmpAdvocate where lower(trim(coalesce(remarks, ''))) not in "
                "('decided', 'unattended') order by courtindex",
                {QStringLiteral("cdate")},
                {}};
    case DataEnvironment::Grouping::SingleDate:
        return {"comSingleDate_Grouping",
                "select * from tmpadvocate order by courtindex, Party1 collate nocase",
                {QStringLiteral("CourtIndex"), QStringLiteral("courtname")},
                {}};
    }
    return {};
}

ResultTable readAll(const Command &command)
{
    SqlQuery stmt(command.text);
    stmt.bindAll(command.values);
    ResultTable table;
    const int count = stmt.columnCount();
    int expression = 1000;
    QList<FieldType> types;
    for (int i = 0; i < count; ++i) {
        QString name = stmt.columnName(i);
        if (stmt.columnOrigin(i).isEmpty() && name.contains(u'('))
            name = QStringLiteral("Expr%1").arg(expression++);
        table.columns << name;
        types << columnFieldType(stmt, i);
    }
    while (stmt.next()) {
        QVariantList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i)
            row << decodeColumn(stmt, i, types[i]);
        table.rows << row;
    }
    return table;
}

// Orders keys: nothing first, then dates, numbers and texts (letter case ignored).
int compareKeyValue(const QVariant &a, const QVariant &b)
{
    const bool an = !a.isValid() || a.isNull();
    const bool bn = !b.isValid() || b.isNull();
    if (an && bn)
        return 0;
    if (an || bn)
        return an ? -1 : 1;
    if (a.typeId() == QMetaType::QDate && b.typeId() == QMetaType::QDate)
        return a.toDate() < b.toDate() ? -1 : (b.toDate() < a.toDate() ? 1 : 0);
    bool aok = false;
    bool bok = false;
    const double x = a.toDouble(&aok);
    const double y = b.toDouble(&bok);
    const bool aNumber = aok && a.typeId() != QMetaType::QString;
    const bool bNumber = bok && b.typeId() != QMetaType::QString;
    if (aNumber && bNumber)
        return x < y ? -1 : (x > y ? 1 : 0);
    return a.toString().compare(b.toString(), Qt::CaseInsensitive);
}

QString keyText(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return QStringLiteral("\x01null");
    if (v.typeId() == QMetaType::QDate)
        return dates::toIso(v.toDate());
    return v.toString().toCaseFolded();
}

} // namespace

QString DataEnvironment::commandName(Grouping grouping)
{
    return QString::fromLatin1(groupedCommand(grouping).name);
}

GroupedResult DataEnvironment::run(Grouping grouping)
{
    const GroupedCommand shape = groupedCommand(grouping);
    GroupedResult result;
    result.command = QString::fromLatin1(shape.name);
    result.keyColumns = shape.by;
    result.detail = readAll(Command{QString::fromLatin1(shape.inner), {}});

    QList<int> keyIndexes;
    for (const QString &column : shape.by) {
        const int index = result.detail.column(column);
        if (index < 0)
            throw DataError(QStringLiteral("The column %1 is missing from the command %2.")
                                .arg(column, result.command));
        keyIndexes << index;
    }
    QList<QPair<int, QString>> sumIndexes;
    for (const auto &[column, alias] : shape.sums) {
        const int index = result.detail.column(column);
        if (index < 0)
            throw DataError(QStringLiteral("The column %1 is missing from the command %2.")
                                .arg(column, result.command));
        sumIndexes.append({index, alias});
    }

    QHash<QString, int> groupOf;
    for (int r = 0; r < result.detail.rowCount(); ++r) {
        const QVariantList &row = result.detail.rows[r];
        QString key;
        for (int index : keyIndexes)
            key += keyText(row[index]) + u'\x1f';
        auto it = groupOf.find(key);
        if (it == groupOf.end()) {
            ResultGroup group;
            for (int index : keyIndexes)
                group.key << row[index];
            for (const auto &[index, alias] : sumIndexes)
                group.sums.insert(alias, 0.0);
            result.groups << group;
            it = groupOf.insert(key, int(result.groups.size()) - 1);
        }
        ResultGroup &group = result.groups[*it];
        group.rows << r;
        for (const auto &[index, alias] : sumIndexes) {
            // Only amounts are added; a text that is no amount adds nothing.
            const int type = row[index].typeId();
            if (type == QMetaType::Double || type == QMetaType::LongLong)
                group.sums[alias] += row[index].toDouble();
        }
    }

    std::stable_sort(result.groups.begin(), result.groups.end(),
                     [](const ResultGroup &a, const ResultGroup &b) {
                         for (int i = 0; i < a.key.size(); ++i) {
                             const int c = compareKeyValue(a.key[i], b.key[i]);
                             if (c != 0)
                                 return c < 0;
                         }
                         return false;
                     });
    return result;
}

ResultTable DataEnvironment::run(const Command &command)
{
    return readAll(command);
}

Command DataEnvironment::comBill()
{
    return Command{QStringLiteral("Select * from Bill where billno=0"), {}};
}

Command DataEnvironment::comReceipt()
{
    return Command{QStringLiteral("select receiptno from receipt where receiptno =1"), {}};
}

} // namespace lexordo
