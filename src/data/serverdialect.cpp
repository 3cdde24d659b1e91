#include "serverdialect.h"

#include "serverschema.h"

#include <QHash>

namespace lexordo::serverdialect {

namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// The word that follows position `at`, past spaces; empty when none.
QString nextWord(const QString &sql, qsizetype at, qsizetype *end = nullptr)
{
    qsizetype i = at;
    while (i < sql.size() && sql[i].isSpace())
        ++i;
    const qsizetype start = i;
    while (i < sql.size() && isWordPart(sql[i]))
        ++i;
    if (end)
        *end = i;
    return sql.mid(start, i - start);
}

// SQLite's functions the server spells otherwise.
const QHash<QString, QString> &functionNames()
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("lx_fold"), QStringLiteral("lower")},
        {QStringLiteral("ifnull"), QStringLiteral("coalesce")},
        {QStringLiteral("instr"), QStringLiteral("strpos")},
    };
    return names;
}

} // namespace

Statement translate(const QString &sql)
{
    QString out;
    out.reserve(sql.size() + 32);
    int highest = 0;
    qsizetype i = 0;
    const qsizetype n = sql.size();
    // SQLite puts NULL first in a rising order and last in a falling one;
    // the server does the opposite unless told. Each ORDER BY being read,
    // innermost last: the depth of its parentheses and its term's last word.
    struct Ordering
    {
        int depth;
        QString lastWord;
        bool saysNulls = false;
    };
    QList<Ordering> orderings;
    int depth = 0;
    const auto endTerm = [&] {
        Ordering &ordering = orderings.last();
        if (!ordering.saysNulls)
            out += ordering.lastWord == u"desc" ? QStringLiteral(" NULLS LAST ")
                                                : QStringLiteral(" NULLS FIRST ");
        ordering.lastWord.clear();
        ordering.saysNulls = false;
    };
    const auto endOrderingsAbove = [&](int level) {
        while (!orderings.isEmpty() && orderings.last().depth >= level) {
            endTerm();
            orderings.removeLast();
        }
    };
    while (i < n) {
        const QChar c = sql[i];
        if (c == u'(') {
            ++depth;
        } else if (c == u')') {
            endOrderingsAbove(depth);
            --depth;
        } else if (c == u';') {
            endOrderingsAbove(0);
        } else if (c == u',' && !orderings.isEmpty() && orderings.last().depth == depth) {
            endTerm();
        }
        if (c == u'\'') {
            // A literal, '' standing for one quote, copied as it is.
            qsizetype j = i + 1;
            while (j < n) {
                if (sql[j] == u'\'') {
                    if (j + 1 < n && sql[j + 1] == u'\'') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            out += QStringView(sql).mid(i, j + 1 - i);
            i = j + 1;
            continue;
        }
        if (c == u'"') {
            qsizetype j = i + 1;
            while (j < n) {
                if (sql[j] == u'"') {
                    if (j + 1 < n && sql[j + 1] == u'"') {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            const QString name = sql.mid(i, j + 1 - i).toLower();
            out += name == QStringLiteral("\"rowid\"") ? QStringLiteral("\"lx_key\"") : name;
            i = j + 1;
            continue;
        }
        if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
            const qsizetype end = sql.indexOf(u'\n', i);
            i = end < 0 ? n : end;
            continue;
        }
        if (c == u'?') {
            qsizetype j = i + 1;
            while (j < n && sql[j].isDigit())
                ++j;
            const int number = j > i + 1 ? sql.mid(i + 1, j - i - 1).toInt() : highest + 1;
            highest = std::max(highest, number);
            out += u'$' + QString::number(number);
            i = j;
            continue;
        }
        if (isWordStart(c) && (i == 0 || !isWordPart(sql[i - 1]))) {
            qsizetype j = i;
            while (j < n && isWordPart(sql[j]))
                ++j;
            const QString word = sql.mid(i, j - i);
            const QString lower = word.toLower();
            if (!orderings.isEmpty() && orderings.last().depth == depth) {
                if (lower == u"limit" || lower == u"offset" || lower == u"union" ||
                    lower == u"except" || lower == u"intersect" || lower == u"returning") {
                    endOrderingsAbove(depth);
                } else {
                    orderings.last().lastWord = lower;
                    if (lower == u"nulls")
                        orderings.last().saysNulls = true;
                }
            }
            if (lower == u"order" && nextWord(sql, j).toLower() == u"by") {
                qsizetype end = j;
                nextWord(sql, j, &end);
                out += sql.mid(i, end - i);
                orderings.append({depth, QString()});
                i = end;
                continue;
            }
            if (lower == u"rowid") {
                out += serverschema::rowKey;
                i = j;
                continue;
            }
            if (lower == u"collate") {
                qsizetype end = j;
                const QString name = nextWord(sql, j, &end).toLower();
                if (name == u"nocase" || name == u"lxfold") {
                    out += QStringLiteral("COLLATE ") + serverschema::foldedCollation;
                    i = end;
                    continue;
                }
                if (name == u"binary") {
                    out += QStringLiteral("COLLATE \"C\"");
                    i = end;
                    continue;
                }
            }
            if (lower == u"begin") {
                qsizetype end = j;
                const QString kind = nextWord(sql, j, &end).toLower();
                if (kind == u"immediate" || kind == u"deferred" || kind == u"exclusive") {
                    out += QStringLiteral("BEGIN");
                    i = end;
                    continue;
                }
            }
            if (lower == u"like") {
                // SQLite's LIKE ignores the case of A to Z.
                out += QStringLiteral("ILIKE");
                i = j;
                continue;
            }
            if (lower == u"is") {
                qsizetype end = j;
                const QString following = nextWord(sql, j, &end).toLower();
                if (following == u"not") {
                    qsizetype after = end;
                    const QString third = nextWord(sql, end, &after).toLower();
                    if (third != u"null" && third != u"distinct" && third != u"true" &&
                        third != u"false") {
                        out += QStringLiteral("IS DISTINCT FROM");
                        i = end;
                        continue;
                    }
                } else if (following != u"null" && following != u"distinct" &&
                           following != u"true" && following != u"false") {
                    out += QStringLiteral("IS NOT DISTINCT FROM");
                    i = j;
                    continue;
                }
            }
            const auto function = functionNames().constFind(lower);
            if (function != functionNames().constEnd() && j < n && sql[j] == u'(') {
                out += *function;
                i = j;
                continue;
            }
            out += word;
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    endOrderingsAbove(0);
    return {out.toUtf8(), highest};
}

} // namespace lexordo::serverdialect
