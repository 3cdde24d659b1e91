#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace lexordo {

// Where a diary kept on a PostgreSQL server is, as the data source names it.
// The password, when the entry holds one, is handed to the server and to its
// tools only: describe() and every message leave it out.
struct ServerAddress
{
    QString host; // a name, an address, or the folder of a Unix socket
    QString port;
    QString database;
    QString user;
    QString password; // empty: the server's tools read ~/.pgpass

    bool operator==(const ServerAddress &) const = default;

    // "database diary on server host:port as user clerk", never the password.
    QString describe() const;
    // The keywords and values libpq's PQconnectdbParams takes, empty ones left
    // out, with bounded connection and statement waits.
    QList<QPair<QByteArray, QByteArray>> connectionKeywords() const;
};

} // namespace lexordo
