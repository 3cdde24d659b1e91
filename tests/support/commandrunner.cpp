#include "commandrunner.h"

#include <QFile>
#include <QProcess>

namespace lexordo::test {

CommandRunner::CommandRunner(const QString &program, const QString &databasePath)
    : m_program(program)
{
    setDatabase(databasePath);
}

void CommandRunner::setDatabase(const QString &databasePath)
{
    QFile catalogue(m_dir.filePath(QStringLiteral("odbc.ini")));
    if (!catalogue.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("The test's ODBC catalogue could not be written.");
    catalogue.write("[advocate]\nDriver=SQLite3\nDatabase=" + QFile::encodeName(databasePath) +
                    "\n");
}

void CommandRunner::setVariable(const QString &name, const QString &value)
{
    m_variables.append({name, value});
}

CommandRunner::Result CommandRunner::run(const QStringList &arguments,
                                         const std::function<void()> &inChild) const
{
    return run(arguments, m_dir.filePath(QStringLiteral("odbc.ini")), inChild);
}

CommandRunner::Result CommandRunner::run(const QStringList &arguments, const QString &catalogue,
                                         const std::function<void()> &inChild) const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.insert(QStringLiteral("ODBCINI"), catalogue);
    for (const auto &[name, value] : m_variables)
        environment.insert(name, value);
    QProcess process;
    process.setProcessEnvironment(environment);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(m_program, arguments);
    Result result;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return result;
    result.status = process.exitCode();
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

} // namespace lexordo::test
