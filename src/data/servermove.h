#pragma once

// The move of a diary file to a PostgreSQL server: every table of the file
// copied into an empty server database in one transaction, so that the
// server holds the whole diary or nothing of it. The file is only read.

#include "dataerror.h"
#include "serveraddress.h"

#include <functional>
#include <QString>

namespace lexordo::servermove {

struct Outcome
{
    qint64 rows = 0; // the rows copied, of every table
    int tables = 0;
};

// Told the rows copied so far and the rows of the whole file, at most a few
// times a second and once at the end.
using Progress = std::function<void(qint64 copied, qint64 total)>;

// Copies the diary file at `file` into the server database at `address`,
// making the diary's tables there first when it has none. Refuses, keeping
// nothing, a server database that is no diary or already holds rows (naming
// the table), a value the server cannot keep (naming table, row and column),
// and a copy whose row counts or amount sums differ from the file's.
// Throws DataError.
Outcome move(const QString &file, const ServerAddress &address, const Progress &progress = {});

} // namespace lexordo::servermove
