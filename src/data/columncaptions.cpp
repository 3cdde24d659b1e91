#include "columncaptions.h"

#include <QHash>

namespace lexordo {

namespace {

// The captions of the screens' boxes, for the columns whose values can be
// refused (dates, times, numbers and amounts).
const QHash<QString, QHash<QString, QString>> &captions()
{
    static const QHash<QString, QHash<QString, QString>> table = [] {
        const QHash<QString, QString> diary{
            {QStringLiteral("cdate"), QStringLiteral("Date")},
            {QStringLiteral("pdate"), QStringLiteral("Previous date")},
            {QStringLiteral("courtindex"), QStringLiteral("index")},
            {QStringLiteral("ndate"), QStringLiteral("Next Date")},
        };
        const QHash<QString, QString> ledger{
            {QStringLiteral("transdate"), QStringLiteral("Date")},
            {QStringLiteral("legal fees"), QStringLiteral("Legal Fees")},
            {QStringLiteral("courtfees"), QStringLiteral("Court Fees")},
            {QStringLiteral("misc"), QStringLiteral("Misc. Fees")},
            {QStringLiteral("received"), QStringLiteral("Received")},
            {QStringLiteral("balance"), QStringLiteral("Balance")},
        };
        return QHash<QString, QHash<QString, QString>>{
            {QStringLiteral("advocate"), diary},
            {QStringLiteral("tmpadvocate"), diary},
            {QStringLiteral("courts"), {{QStringLiteral("indexx"), QStringLiteral("Index")}}},
            {QStringLiteral("holidays"), {{QStringLiteral("date"), QStringLiteral("Dated")}}},
            {QStringLiteral("clients"), {{QStringLiteral("date"), QStringLiteral("Dated")}}},
            {QStringLiteral("ac_info"), ledger},
            {QStringLiteral("tmpac_info"), ledger},
            {QStringLiteral("bill"),
             {{QStringLiteral("billno"), QStringLiteral("Bill No.")},
              {QStringLiteral("billdate"), QStringLiteral("Date")},
              {QStringLiteral("total"), QStringLiteral("Total")},
              {QStringLiteral("stp"), QStringLiteral("Service Tax %")},
              {QStringLiteral("stax"), QStringLiteral("Service Tax")},
              {QStringLiteral("gtotal"), QStringLiteral("Grand Total")}}},
            {QStringLiteral("receipt"),
             {{QStringLiteral("receiptno"), QStringLiteral("Receipt No.")},
              {QStringLiteral("rdate"), QStringLiteral("Date")},
              {QStringLiteral("dated"), QStringLiteral("Cheque Dated")},
              {QStringLiteral("rs in fig"), QStringLiteral("Rs. in figures")}}},
            {QStringLiteral("reminder"),
             {{QStringLiteral("remdate"), QStringLiteral("Date")},
              {QStringLiteral("time"), QStringLiteral("Time")}}},
        };
    }();
    return table;
}

} // namespace

QString columnCaption(const QString &table, const QString &column)
{
    const QString caption = captions().value(table.toLower()).value(column.toLower());
    // A caption that is the column's own name is not said twice.
    if (caption.isEmpty() || caption.compare(column, Qt::CaseInsensitive) == 0)
        return caption.isEmpty() ? column : caption;
    return QStringLiteral("%1 (%2)").arg(caption, column);
}

} // namespace lexordo
