#pragma once

// The program's statements are written in SQLite's words. A diary on a
// PostgreSQL server reads them through this translation, so that every store
// keeps one text for both: placeholders become $n, quoted names take the lower
// case the server's tables have, the hidden row number becomes the tables' key,
// SQLite's case-blind comparisons and NULL-matching IS take the server's words.

#include <QByteArray>
#include <QString>

namespace lexordo::serverdialect {

struct Statement
{
    QByteArray text;
    int parameters = 0; // the highest $n used
};

Statement translate(const QString &sql);

} // namespace lexordo::serverdialect
