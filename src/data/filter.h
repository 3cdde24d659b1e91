#pragma once

#include <QList>
#include <QString>
#include <QVariant>

namespace lexordo {

// A record-set filter: terms of column, operator and value, joined by "and".
// Values are kept as values, never pasted into a statement, so a name with an
// apostrophe, % or _ is matched exactly as typed. Text comparisons ignore
// letter case.
class Filter
{
public:
    enum class Op {
        Equal,
        NotEqual,
        Less,
        LessOrEqual,
        Greater,
        GreaterOrEqual,
        IsNull,
        BeginsWith, // like 'text%'
        Contains,   // like '%text%'
    };

    struct Term
    {
        QString column;
        Op op;
        QVariant value;
    };

    Filter() = default;
    Filter(const QString &column, Op op, const QVariant &value = QVariant());

    static Filter isNull(const QString &column) { return Filter(column, Op::IsNull); }

    Filter &andWhere(const QString &column, Op op, const QVariant &value = QVariant());
    Filter operator&&(const Filter &other) const;

    bool isEmpty() const { return m_terms.isEmpty(); }
    const QList<Term> &terms() const { return m_terms; }

    // A readable form, as the record set would write it ("cdate >= 01/12/2026 and ...").
    QString toString() const;

    bool operator==(const Filter &other) const;

    // Text as filters and sorts compare it, in the database's own order of
    // text: letter case folded in every script (but no sign outside ASCII
    // folds into a letter A to Z, so the database's case-blind index still
    // finds every equal text), then compared code point by code point.
    static QString foldedText(const QString &text);
    static int compareText(QStringView a, QStringView b);

private:
    QList<Term> m_terms;
};

} // namespace lexordo
