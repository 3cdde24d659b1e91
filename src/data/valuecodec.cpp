#include "valuecodec.h"

#include "amounts.h"
#include "dates.h"
#include "schemacheck.h"
#include "sqlquery.h"

#include <cmath>

namespace lexordo {

RecordSet::FieldType fieldTypeFromDeclaration(const QByteArray &declared)
{
    using FieldType = RecordSet::FieldType;
    if (declared.isEmpty())
        return FieldType::Any;
    const QByteArray decl = declared.toUpper();
    if (decl.startsWith("DATE"))
        return FieldType::Date;
    if (decl.startsWith("TIME"))
        return FieldType::Time;
    if (decl.contains("INT"))
        return FieldType::Integer;
    if (decl.contains("REAL") || decl.contains("FLOA") || decl.contains("DOUB") ||
        decl.contains("NUM") || decl.contains("DEC") || decl.contains("CURRENCY"))
        return FieldType::Number;
    return FieldType::Text;
}

RecordSet::FieldType columnFieldType(const SqlQuery &query, int column)
{
    QByteArray declared = query.columnDeclaredType(column);
    if (declared.isEmpty()) {
        const QByteArray origin = query.columnOrigin(column).toUtf8();
        if (!origin.isEmpty())
            declared = SchemaCheck::columnType(origin.constData(), nullptr).toUpper();
    }
    return fieldTypeFromDeclaration(declared);
}

namespace {

QVariant wholeOrDouble(double value)
{
    if (std::trunc(value) == value && std::fabs(value) < 9e15)
        return qint64(value);
    return value;
}

} // namespace

QVariant decodeColumn(const SqlQuery &query, int column, RecordSet::FieldType type)
{
    using FieldType = RecordSet::FieldType;
    if (query.isNull(column))
        return QVariant();
    const bool number = query.isNumber(column);
    switch (type) {
    case FieldType::Date: {
        const QString text = query.text(column);
        if (text.isEmpty())
            return QVariant();
        if (auto date = dates::parseIso(text))
            return *date;
        return text;
    }
    case FieldType::Time: {
        const QString text = query.text(column);
        if (text.isEmpty())
            return QVariant();
        if (auto time = dates::parseTime(text))
            return *time;
        return text;
    }
    case FieldType::Number: {
        if (number)
            return query.value(column).toDouble();
        // An amount kept as text (a diary written by another tool) is read as
        // an amount typed in a box is; text that is no amount stays text.
        const QString text = query.text(column);
        if (text.trimmed().isEmpty())
            return QVariant();
        if (const std::optional<double> amount = amounts::parse(text))
            return *amount;
        return text;
    }
    case FieldType::Integer:
        if (number)
            return wholeOrDouble(query.value(column).toDouble());
        return query.text(column);
    case FieldType::Any: {
        if (number) {
            const QVariant v = query.value(column);
            return v.typeId() == QMetaType::LongLong ? v : wholeOrDouble(v.toDouble());
        }
        // A column made by another tool without a declared type: the stored
        // form of a date still reads as a date.
        const QString text = query.text(column);
        if (text.size() == 10 && text[4] == u'-' && text[7] == u'-') {
            if (auto date = dates::parseIso(text))
                return *date;
        }
        return text;
    }
    case FieldType::Text:
        return query.text(column);
    }
    return QVariant();
}

void bindForColumn(SqlQuery &query, int index, const QVariant &value, RecordSet::FieldType type)
{
    if (!value.isValid() || value.isNull()) {
        query.bindNull(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Double: {
        const double v = value.toDouble();
        if (type != RecordSet::FieldType::Number && std::trunc(v) == v && std::fabs(v) < 9e15)
            query.bindInt(index, qint64(v));
        else
            query.bindDouble(index, v);
        return;
    }
    default:
        query.bind(index, value);
        return;
    }
}

} // namespace lexordo
