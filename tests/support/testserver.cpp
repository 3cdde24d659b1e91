#include "testserver.h"

#include <algorithm>
#include <cerrno>
#include <data/dataerror.h>
#include <data/pgconnection.h>
#include <fcntl.h>
#include <pwd.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace lexordo::test {

namespace {

const QString superuser = QStringLiteral("postgres");

// LEXORDO_TEST_POSTGRESQL names the folder of PostgreSQL's tools; without
// it, the newest that Debian installed, else the one on the PATH.
QString findTools()
{
    if (qEnvironmentVariableIsSet("LEXORDO_TEST_POSTGRESQL")) {
        const QString bin = qEnvironmentVariable("LEXORDO_TEST_POSTGRESQL");
        return QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() ? bin : QString();
    }
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QStringList names = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &name : names) {
        const QString bin = versions.filePath(name + QStringLiteral("/bin"));
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable())
            return bin;
    }
    const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    return initdb.isEmpty() ? QString() : QFileInfo(initdb).absolutePath();
}

// Starts `argv` with its standard input from `input` (-1: nothing) and its
// output to `output` (empty: nowhere), in `folder`. Returns the process or -1.
// posix_spawn, not QProcess: the cluster is also stopped while the process
// exits, after the application object is gone.
pid_t spawn(const QStringList &argv, const QString &folder, const QString &output, int input,
            bool ownSession)
{
    std::vector<QByteArray> bytes;
    for (const QString &argument : argv)
        bytes.push_back(QFile::encodeName(argument));
    std::vector<char *> pointers;
    for (QByteArray &argument : bytes)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    const QByteArray out = output.isEmpty() ? QByteArray("/dev/null") : QFile::encodeName(output);
    const QByteArray cwd = QFile::encodeName(folder);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input >= 0)
        posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.constData(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, cwd.constData());
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    if (ownSession)
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = -1;
    if (posix_spawn(&pid, pointers[0], &actions, &attributes, pointers.data(), environ) != 0)
        pid = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

QString readTail(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray text = file.readAll().trimmed();
    return QString::fromLocal8Bit(text.right(2000));
}

} // namespace

TestServer &TestServer::shared()
{
    // Destroyed when the process exits, a failed test's included.
    static TestServer server;
    return server;
}

TestServer::TestServer() : m_owner(getpid())
{
    setUp();
    if (!m_ready && !m_folder.isEmpty()) {
        QDir(m_folder).removeRecursively();
        m_folder.clear();
    }
}

TestServer::~TestServer()
{
    // A forked copy of this process that exits leaves the cluster to its owner.
    if (getpid() != m_owner)
        return;
    if (m_running)
        runTool(QStringLiteral("pg_ctl"),
                {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-m"),
                 QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
    if (!m_folder.isEmpty())
        QDir(m_folder).removeRecursively();
    // The watcher finds nothing left to do.
    if (m_reaperPipe >= 0)
        ::close(m_reaperPipe);
}

bool TestServer::mustRun() const
{
    return m_installed || qEnvironmentVariable("CI") == QStringLiteral("true");
}

void TestServer::setUp()
{
    m_bin = findTools();
    if (m_bin.isEmpty()) {
        m_reason = QStringLiteral("PostgreSQL is not installed (no initdb in "
                                  "$LEXORDO_TEST_POSTGRESQL, /usr/lib/postgresql/*/bin or on "
                                  "the PATH).");
        return;
    }
    m_installed = true;

    // initdb refuses root: the cluster then belongs to Debian's postgres user.
    uid_t owner = geteuid();
    gid_t group = getegid();
    if (geteuid() == 0) {
        const passwd *account = getpwnam("postgres");
        m_runuser = QStandardPaths::findExecutable(QStringLiteral("runuser"));
        if (m_runuser.isEmpty())
            m_runuser = QStandardPaths::findExecutable(
                QStringLiteral("runuser"), {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
        if (!account || m_runuser.isEmpty()) {
            m_reason = QStringLiteral("Run as root, the test server needs the user postgres "
                                      "(made by Debian's postgresql package) and runuser.");
            return;
        }
        owner = account->pw_uid;
        group = account->pw_gid;
    }

    // A short path the cluster's owner can reach: a socket's path is limited
    // to about a hundred bytes.
    QString base = QDir::tempPath();
    if (geteuid() == 0 || base.size() > 60)
        base = QStringLiteral("/tmp");
    QByteArray pattern = QFile::encodeName(base + QStringLiteral("/lexordo-pg-XXXXXX"));
    if (!mkdtemp(pattern.data())) {
        m_reason = QStringLiteral("The test server's folder could not be made in %1: %2")
                       .arg(base, QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    m_folder = QFile::decodeName(pattern);
    if (::chown(pattern.constData(), owner, group) != 0) {
        m_reason = QStringLiteral("The test server's folder could not be given to its owner: %1")
                       .arg(QString::fromLocal8Bit(strerror(errno)));
        return;
    }
    startReaper();

    // The port only names the socket: no two clusters share a folder.
    m_port = QString::number(40000 + getpid() % 20000);
    const QString data = m_folder + QStringLiteral("/data");
    QString failure;
    if (!runTool(QStringLiteral("initdb"),
                 {QStringLiteral("-D"), data, QStringLiteral("--auth=trust"), QStringLiteral("-E"),
                  QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8"), QStringLiteral("-U"),
                  superuser, QStringLiteral("--no-sync"), QStringLiteral("--no-instructions")},
                 &failure)) {
        m_reason = QStringLiteral("initdb failed: ") + failure;
        return;
    }
    QFile configuration(data + QStringLiteral("/postgresql.conf"));
    if (!configuration.open(QIODevice::Append)) {
        m_reason = QStringLiteral("The test server's configuration could not be written.");
        return;
    }
    configuration.write("\n# A throwaway cluster for tests: no TCP, no waiting for the disk.\n"
                        "listen_addresses = ''\n"
                        "unix_socket_directories = '" +
                        QFile::encodeName(m_folder) +
                        "'\n"
                        "port = " +
                        m_port.toLatin1() +
                        "\n"
                        "fsync = off\n"
                        "synchronous_commit = off\n"
                        "full_page_writes = off\n"
                        "shared_buffers = 16MB\n");
    configuration.close();
    try {
        start();
    } catch (const DataError &error) {
        m_reason = error.description();
        return;
    }
    m_ready = true;
}

void TestServer::startReaper()
{
    // A shell of its own session waits on a pipe only this process holds: when
    // the process ends, even killed, the pipe closes, and the shell stops the
    // cluster and removes its folder.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    QStringList argv{QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                     QStringLiteral("d=$1; shift; cat >/dev/null; \"$@\"; rm -rf -- \"$d\""),
                     QStringLiteral("lexordo-test-server-reaper"), m_folder};
    argv +=
        toolCommand(QStringLiteral("pg_ctl"),
                    {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-m"),
                     QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
    const pid_t pid = spawn(argv, QStringLiteral("/"), QString(), fds[0], true);
    ::close(fds[0]);
    if (pid < 0) {
        ::close(fds[1]);
        return;
    }
    m_reaperPipe = fds[1];
}

QStringList TestServer::toolCommand(const QString &tool, const QStringList &arguments) const
{
    QStringList argv;
    if (!m_runuser.isEmpty())
        argv << m_runuser << QStringLiteral("-u") << superuser << QStringLiteral("--");
    argv << m_bin + u'/' + tool;
    return argv + arguments;
}

bool TestServer::runTool(const QString &tool, const QStringList &arguments, QString *failure)
{
    const QString output = m_folder + QStringLiteral("/tool.log");
    const pid_t pid = spawn(toolCommand(tool, arguments), m_folder, output, -1, false);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        if (failure)
            *failure =
                pid < 0 ? QStringLiteral("%1 could not be started.").arg(tool) : readTail(output);
        return false;
    }
    return true;
}

void TestServer::stop()
{
    QString failure;
    if (!runTool(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-m"),
                  QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
                 &failure))
        throw DataError(QStringLiteral("The test server did not stop: ") + failure);
    m_running = false;
}

void TestServer::start()
{
    QString failure;
    if (!runTool(QStringLiteral("pg_ctl"),
                 {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-l"),
                  m_folder + QStringLiteral("/server.log"), QStringLiteral("-w"),
                  QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
                 &failure))
        throw DataError(QStringLiteral("The test server did not start: %1\n%2")
                            .arg(failure, readTail(m_folder + QStringLiteral("/server.log"))));
    m_running = true;
}

qint64 TestServer::serverProcess() const
{
    if (!m_running)
        return 0;
    QFile lock(m_folder + QStringLiteral("/data/postmaster.pid"));
    if (!lock.open(QIODevice::ReadOnly))
        return 0;
    return lock.readLine().trimmed().toLongLong();
}

ServerAddress TestServer::address(const QString &database) const
{
    return ServerAddress{m_folder, m_port, database, superuser, QString()};
}

ServerAddress TestServer::newDatabase()
{
    if (!m_running)
        throw DataError(QStringLiteral("The test server is not running. ") + m_reason);
    const QString name = QStringLiteral("diary_%1").arg(++m_databases);
    PgConnection server(address(QStringLiteral("postgres")));
    // The name is the fixture's own, not a value: it cannot be bound.
    server.exec("CREATE DATABASE " + name.toLatin1() + " TEMPLATE template0 ENCODING 'UTF8'");
    return address(name);
}

void writeServerEntry(const QString &odbcIniPath, const ServerAddress &address)
{
    QFile catalogue(odbcIniPath);
    if (!catalogue.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("The test's ODBC catalogue could not be written.");
    QByteArray entry = "[advocate]\nDriver=PostgreSQL Unicode\n";
    entry += "Servername=" + address.host.toUtf8() + '\n';
    entry += "Port=" + address.port.toUtf8() + '\n';
    entry += "Database=" + address.database.toUtf8() + '\n';
    entry += "Username=" + address.user.toUtf8() + '\n';
    if (!address.password.isEmpty())
        entry += "Password=" + address.password.toUtf8() + '\n';
    catalogue.write(entry);
}

} // namespace lexordo::test
