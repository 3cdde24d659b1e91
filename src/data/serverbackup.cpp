#include "serverbackup.h"

#include "backup.h"
#include "dataerror.h"
#include "pgconnection.h"
#include "safewrite.h"
#include "serverschema.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

namespace lexordo {

namespace {

// The tool of the newest PostgreSQL installed: a newer pg_dump reads an older
// server, not the other way round. Debian's wrappers on the PATH pick it too.
QString toolPath(const QString &name)
{
    QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList found = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::sort(found.begin(), found.end(),
              [&numeric](const QString &a, const QString &b) { return numeric.compare(a, b) > 0; });
    for (const QString &version : std::as_const(found)) {
        QString tool = versions.filePath(version + QStringLiteral("/bin/") + name);
        if (QFileInfo(tool).isExecutable())
            return tool;
    }
    throw DataError(QStringLiteral("The PostgreSQL program %1 is not installed on this machine "
                                   "(Debian's package postgresql-client has it).")
                        .arg(name));
}

// A connection string without the password, for the tools' --dbname: a
// process's command line is open to every user of the machine.
QString conninfo(const ServerAddress &server)
{
    const auto quoted = [](const QString &value) {
        QString text = value;
        text.replace(u'\\', QStringLiteral("\\\\")).replace(u'\'', QStringLiteral("\\'"));
        return u'\'' + text + u'\'';
    };
    QStringList parts;
    const auto add = [&](const char *key, const QString &value) {
        if (!value.isEmpty())
            parts << QLatin1String(key) + u'=' + quoted(value);
    };
    add("host", server.host);
    add("port", server.port);
    add("dbname", server.database);
    add("user", server.user);
    // A cable pulled during a long dump is noticed rather than waited on.
    parts << QStringLiteral("keepalives_idle=10 keepalives_interval=5 keepalives_count=3");
    return parts.join(u' ');
}

// What the tools find in their environment: the password when the entry has
// one (else they read ~/.pgpass), a bounded wait for the server to answer.
QProcessEnvironment toolEnvironment(const ServerAddress &server)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!server.password.isEmpty())
        environment.insert(QStringLiteral("PGPASSWORD"), server.password);
    environment.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("5"));
    environment.insert(QStringLiteral("PGAPPNAME"), QStringLiteral("lexordo"));
    // Messages in the program's language, whatever the machine's.
    environment.insert(QStringLiteral("LC_MESSAGES"), QStringLiteral("C"));
    return environment;
}

// A tool's own words on standard error, one line, never the password.
QString reasonOf(QProcess &process, const ServerAddress &server)
{
    QString text = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (text.isEmpty())
        text = process.exitStatus() == QProcess::CrashExit
                   ? QStringLiteral("%1 stopped unexpectedly").arg(process.program())
                   : QStringLiteral("%1 ended with status %2")
                         .arg(process.program())
                         .arg(process.exitCode());
    text.replace(QRegularExpression(QStringLiteral("\\s*\\n\\s*")), QStringLiteral("; "));
    if (server.password.size() >= 4)
        text.replace(server.password, QStringLiteral("********"));
    return text;
}

// Runs a tool to its end. Standard output goes to `output` piece by piece
// as it comes (which may throw: the tool is then stopped). Throws DataError
// with the tool's reason when it could not start or ended in failure.
// Starts a tool with the environment of toolEnvironment. Throws DataError
// when it could not be started.
void startTool(QProcess &process, const ServerAddress &server, const QString &name,
               const QStringList &arguments, QIODevice::OpenMode mode)
{
    process.setProgram(toolPath(name));
    process.setArguments(arguments);
    process.setProcessEnvironment(toolEnvironment(server));
    process.start(mode);
    if (!process.waitForStarted(-1))
        throw DataError(
            QStringLiteral("%1 could not be started: %2").arg(name, process.errorString()));
}

void runTool(const ServerAddress &server, const QString &name, const QStringList &arguments,
             const std::function<void(const QByteArray &)> &output)
{
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    startTool(process, server, name, arguments, QIODevice::ReadOnly);
    try {
        while (true) {
            if (process.bytesAvailable() == 0 && !process.waitForReadyRead(-1))
                break;
            output(process.readAllStandardOutput());
        }
        process.waitForFinished(-1);
        output(process.readAllStandardOutput());
    } catch (...) {
        process.kill();
        process.waitForFinished(-1);
        throw;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw DataError(reasonOf(process, server));
}

// pg_restore reading a dump as it is written, every block of it, into
// nothing: a dump it cannot read whole (a torn block, a tool that ended well
// but wrote no archive) is found before the dump is put in place.
class ReadBack
{
public:
    // The dump is read, not restored: no server, no password.
    ReadBack()
    {
        startTool(m_process, ServerAddress(), QStringLiteral("pg_restore"),
                  {QStringLiteral("--file=") + QProcess::nullDevice()}, QIODevice::ReadWrite);
    }
    ~ReadBack()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(-1);
        }
    }
    ReadBack(const ReadBack &) = delete;
    ReadBack &operator=(const ReadBack &) = delete;

    void write(const QByteArray &bytes)
    {
        // pg_restore may stop early on a dump it cannot read; what it says
        // is read by finish().
        if (m_process.state() != QProcess::Running)
            return;
        m_process.write(bytes);
        while (m_process.bytesToWrite() > 0 && m_process.waitForBytesWritten(-1)) {
        }
    }

    // Throws DataError with pg_restore's reason when the dump did not read back.
    void finish()
    {
        m_process.closeWriteChannel();
        m_process.waitForFinished(-1);
        if (m_process.exitStatus() != QProcess::NormalExit || m_process.exitCode() != 0)
            throw DataError(QStringLiteral("the dump does not read back whole: %1")
                                .arg(reasonOf(m_process, ServerAddress())));
    }

private:
    QProcess m_process;
};

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

void requireFolder(const QString &target)
{
    const QString folder = QFileInfo(target).absolutePath();
    if (!QFileInfo(folder).isDir())
        throw DataError(QStringLiteral("The folder %1 does not exist.").arg(shown(folder)));
}

// Refuses to write over a file: the copy a restore keeps is never another.
void refuseExisting(const QString &target)
{
    if (QFileInfo::exists(target))
        throw DataError(
            QStringLiteral("%1 already exists; it has been left as it is.").arg(shown(target)));
}

// Copies a finished dump to another name, through the same temporary file.
void copyFile(const QString &source, const QString &target)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw DataError(
            QStringLiteral("%1 could not be read: %2").arg(shown(source), in.errorString()));
    safewrite::AtomicFile out(target);
    while (!in.atEnd()) {
        const QByteArray block = in.read(1 << 20);
        if (block.isEmpty() && in.error() != QFileDevice::NoError)
            throw DataError(
                QStringLiteral("%1 could not be read: %2").arg(shown(source), in.errorString()));
        out.write(block);
    }
    out.commit();
}

// The name of a dated dump, its day captured: advocate-2026-12-07.dump.
QDate dayOfDump(const QString &name)
{
    static const QRegularExpression dated([] {
        const QFileInfo file(ServerBackup::dumpName);
        return QStringLiteral("^%1-(\\d{4}-\\d{2}-\\d{2})\\.%2$")
            .arg(QRegularExpression::escape(file.completeBaseName()),
                 QRegularExpression::escape(file.suffix()));
    }());
    const QRegularExpressionMatch match = dated.match(name);
    return match.hasMatch() ? QDate::fromString(match.captured(1), Qt::ISODate) : QDate();
}

// pg_restore's table of contents of a dump: the names of the tables in it.
QSet<QString> tablesInDump(const QString &path)
{
    QByteArray list;
    runTool(ServerAddress(), QStringLiteral("pg_restore"),
            {QStringLiteral("--list"), QFileInfo(path).absoluteFilePath()},
            [&list](const QByteArray &bytes) { list += bytes; });
    // "215; 1259 16385 TABLE public tblcases owner"
    static const QRegularExpression table(QStringLiteral("^\\d+; \\d+ \\d+ TABLE \\S+ (\\S+) "),
                                          QRegularExpression::MultilineOption);
    QSet<QString> tables;
    auto matches = table.globalMatch(QString::fromUtf8(list));
    while (matches.hasNext())
        tables.insert(matches.next().captured(1).toLower());
    return tables;
}

void restoreDump(const ServerAddress &server, const QString &dumpFile)
{
    // All or nothing: a failure anywhere rolls the whole restore back.
    runTool(server, QStringLiteral("pg_restore"),
            {QStringLiteral("--clean"), QStringLiteral("--if-exists"),
             QStringLiteral("--single-transaction"), QStringLiteral("--exit-on-error"),
             QStringLiteral("--no-owner"), QStringLiteral("--no-password"),
             QStringLiteral("--dbname=") + conninfo(server),
             QFileInfo(dumpFile).absoluteFilePath()},
            [](const QByteArray &) {});
}

} // namespace

QString ServerBackup::dumpPathIn(const QString &folder)
{
    return QDir(folder).filePath(dumpName);
}

QString ServerBackup::datedDumpPathIn(const QString &folder, const QDate &day)
{
    const QFileInfo name(dumpName);
    return QDir(folder).filePath(
        QStringLiteral("%1-%2.%3")
            .arg(name.completeBaseName(), day.toString(Qt::ISODate), name.suffix()));
}

void ServerBackup::writeDump(const ServerAddress &server, const QString &target, bool readBack)
{
    requireFolder(target);
    // pg_dump writes to its standard output, which goes straight into the
    // temporary file; the dump takes the target's name only on success.
    safewrite::AtomicFile file(target);
    try {
        std::optional<ReadBack> reader;
        if (readBack)
            reader.emplace();
        runTool(server, QStringLiteral("pg_dump"),
                {QStringLiteral("--format=custom"), QStringLiteral("--no-password"),
                 // Another desk holding a table locked is told, not waited on.
                 QStringLiteral("--lock-wait-timeout=10000"),
                 QStringLiteral("--dbname=") + conninfo(server)},
                [&file, &reader](const QByteArray &bytes) {
                    file.write(bytes);
                    if (reader)
                        reader->write(bytes);
                });
        if (reader)
            reader->finish();
        file.commit();
    } catch (const DataError &e) {
        throw DataError(QStringLiteral("The diary's %1 could not be backed up to %2: %3")
                            .arg(server.describe(), shown(target), e.description()));
    }
}

QStringList ServerBackup::backUpInto(const ServerAddress &server, const QString &folder, int keep,
                                     const QDate &day, bool readBack)
{
    const QString dump = dumpPathIn(folder);
    writeDump(server, dump, readBack);
    if (keep <= 0)
        return {};

    // The dated dump is the one just written, the same moment of the diary.
    const QString dated = datedDumpPathIn(folder, day);
    try {
        copyFile(dump, dated);
    } catch (const DataError &e) {
        throw DataError(QStringLiteral("%1 is written, but %2").arg(shown(dump), e.description()));
    }

    return removeOlderCopies(
        folder, day, keep, dayOfDump, [](const QString &) { return false; },
        [&](const QString &path, const QString &reason) {
            return QStringLiteral("%1 is written, but the old dump %2 could not be removed: %3")
                .arg(shown(dated), shown(path), reason);
        });
}

void ServerBackup::checkDump(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw DataError(QStringLiteral("%1 does not exist.").arg(shown(path)));
    if (!info.isFile())
        throw DataError(QStringLiteral("%1 is not a file.").arg(shown(path)));
    QSet<QString> tables;
    try {
        tables = tablesInDump(path);
    } catch (const DataError &e) {
        throw DataError(QStringLiteral("%1 is not a backup of a diary on a server: %2")
                            .arg(shown(path), e.description()));
    }
    QStringList missing;
    for (const QString &table : DatabaseBackup::programTables()) {
        if (!tables.contains(table.toLower()))
            missing << table;
    }
    if (missing.size() == DatabaseBackup::programTables().size())
        throw DataError(QStringLiteral("%1 is not a backup of a diary on a server: it holds none "
                                       "of the diary's tables.")
                            .arg(shown(path)));
    if (!missing.isEmpty())
        throw DataError(QStringLiteral("%1 is not a backup of a diary on a server: it has no "
                                       "table %2.")
                            .arg(shown(path), missing.join(QStringLiteral(", "))));
}

QString ServerBackup::keptName(const ServerAddress &server, const QString &folder,
                               const QDateTime &when)
{
    // The database's name may hold what a file name must not.
    QString base = server.database;
    base.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    if (base.isEmpty() || base.startsWith(u'.'))
        base.prepend(QStringLiteral("diary"));
    return QDir(folder).filePath(QStringLiteral("%1-replaced-%2.%3")
                                     .arg(base, when.toString(QStringLiteral("yyyyMMdd-HHmmss")),
                                          QFileInfo(dumpName).suffix()));
}

void ServerBackup::restoreFrom(const ServerAddress &server, const QString &dumpFile,
                               const QString &keepAs)
{
    checkDump(dumpFile);
    const auto failed = [&](QString reason, const QString &outcome) {
        if (reason.endsWith(u'.'))
            reason.chop(1);
        return DataError(QStringLiteral("The diary's %1 could not be restored from %2: %3. %4")
                             .arg(server.describe(), shown(dumpFile), reason, outcome));
    };
    refuseExisting(keepAs);
    // The present diary is kept as it is, even when it is no sound diary:
    // the reason for a restore may be that it is damaged.
    writeDump(server, keepAs);
    try {
        restoreDump(server, dumpFile);
    } catch (const DataError &e) {
        QFile::remove(keepAs);
        throw failed(e.description(), QStringLiteral("Nothing has been changed."));
    }

    QString problem;
    try {
        PgConnection connection(server);
        problem = serverschema::problem(connection);
    } catch (const DataError &e) {
        problem = e.description();
    }
    if (problem.isEmpty())
        return;
    // The dump held the diary's tables but not as a diary keeps them: the
    // kept diary goes back.
    try {
        restoreDump(server, keepAs);
    } catch (const DataError &e) {
        throw failed(problem, QStringLiteral("The diary could not be put back as it was (%1); it "
                                             "is kept as %2.")
                                  .arg(e.description(), shown(keepAs)));
    }
    QFile::remove(keepAs);
    throw failed(problem, QStringLiteral("The diary has been put back as it was."));
}

} // namespace lexordo
