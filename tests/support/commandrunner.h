#pragma once

#include <functional>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <utility>

namespace lexordo::test {

// Runs the program as a separate process, as a terminal or cron runs it: no
// display, and an ODBC catalogue of its own whose data source "advocate"
// names the given database.
class CommandRunner
{
public:
    CommandRunner(const QString &program, const QString &databasePath);

    struct Result
    {
        int status = -1; // -1 when the program did not end by itself
        QString out;
        QString err;
    };
    // `inChild` runs in the new process before the program starts (limits).
    Result run(const QStringList &arguments, const std::function<void()> &inChild = {}) const;
    // The same, the program reading another catalogue in place of its own.
    Result run(const QStringList &arguments, const QString &catalogue,
               const std::function<void()> &inChild = {}) const;

    // The catalogue names another database from now on.
    void setDatabase(const QString &databasePath);
    // The program finds this variable set from now on (a settings folder).
    void setVariable(const QString &name, const QString &value);

private:
    QString m_program;
    QTemporaryDir m_dir;
    QList<std::pair<QString, QString>> m_variables;
};

} // namespace lexordo::test
