#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// What `cmake --install` puts where, how the installed program chooses its
// diary's folder, and the Debian package that CPack builds from the same rules.
class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void theInstallTreeHasEveryFileInItsPlace();
    void theDesktopEntryAndMetadataAreValid();
    void theInstalledProgramKeepsItsDiaryInTheUserDataFolder();
    void thePackageDependsOnTheDebianPackagesUsed();

private:
    static int
    run(const QString &program, const QStringList &arguments, QString *output = nullptr,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

    QTemporaryDir m_dir;
    QString m_prefix;
};

int TestInstall::run(const QString &program, const QStringList &arguments, QString *output,
                     const QProcessEnvironment &environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(300000))
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void TestInstall::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_prefix = m_dir.filePath(QStringLiteral("prefix"));
    QString output;
    QCOMPARE(run(QStringLiteral(CMAKE_COMMAND),
                 {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                  QStringLiteral("--prefix"), m_prefix},
                 &output),
             0);
}

void TestInstall::theInstallTreeHasEveryFileInItsPlace()
{
    const QDir prefix(m_prefix);
    const QFileInfo program(prefix.filePath(QStringLiteral("bin/lexordo")));
    QVERIFY(program.isFile());
    QVERIFY(program.isExecutable());
    QVERIFY(
        QFileInfo(prefix.filePath(QStringLiteral("share/applications/org.lexordo.Lexordo.desktop")))
            .isFile());
    QVERIFY(QFileInfo(
                prefix.filePath(QStringLiteral("share/metainfo/org.lexordo.Lexordo.metainfo.xml")))
                .isFile());
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString icon = prefix.filePath(
            QStringLiteral("share/icons/hicolor/%1x%1/apps/org.lexordo.Lexordo.png").arg(size));
        const QImage image(icon);
        QVERIFY2(!image.isNull(), qPrintable(icon));
        QCOMPARE(image.size(), QSize(size, size));
    }
    QVERIFY(QFileInfo(prefix.filePath(QStringLiteral("share/doc/lexordo/README.md"))).isFile());
    QFile example(
        prefix.filePath(QStringLiteral("share/doc/lexordo/examples/holidays-example.csv")));
    QVERIFY(example.open(QIODevice::ReadOnly));
    QVERIFY(example.readLine().startsWith("Date,Holiday"));
    // Nothing else: no database, no test program.
    QVERIFY(!QFileInfo::exists(prefix.filePath(QStringLiteral("bin/advocate_v2.mdb"))));
    QCOMPARE(QDir(prefix.filePath(QStringLiteral("bin"))).entryList(QDir::Files),
             QStringList{QStringLiteral("lexordo")});
}

void TestInstall::theDesktopEntryAndMetadataAreValid()
{
    QFile file(
        QDir(m_prefix).filePath(QStringLiteral("share/applications/org.lexordo.Lexordo.desktop")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.first(), QStringLiteral("[Desktop Entry]"));
    QHash<QString, QString> entry;
    for (const QString &line : lines.mid(1))
        entry.insert(line.section(u'=', 0, 0), line.section(u'=', 1));
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Lexordo"));
    QVERIFY(!entry.value(QStringLiteral("Comment")).isEmpty());
    QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("lexordo"));
    QCOMPARE(entry.value(QStringLiteral("Icon")), QStringLiteral("org.lexordo.Lexordo"));
    QVERIFY(
        entry.value(QStringLiteral("Categories")).split(u';').contains(QStringLiteral("Office")));

    QString output;
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (!validator.isEmpty()) {
        QCOMPARE(run(validator, {file.fileName()}, &output), 0);
        QVERIFY2(output.trimmed().isEmpty(), qPrintable(output));
    }

    const QString appstream = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (appstream.isEmpty())
        QSKIP("appstreamcli is not installed");
    QCOMPARE(run(appstream,
                 {QStringLiteral("validate"), QStringLiteral("--no-net"),
                  QDir(m_prefix).filePath(
                      QStringLiteral("share/metainfo/org.lexordo.Lexordo.metainfo.xml"))},
                 &output),
             0);
}

void TestInstall::theInstalledProgramKeepsItsDiaryInTheUserDataFolder()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString data = m_dir.filePath(QStringLiteral("home/data"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), data);
    environment.insert(QStringLiteral("ODBCINI"), m_dir.filePath(QStringLiteral("home/odbc.ini")));
    const QString program = QDir(m_prefix).filePath(QStringLiteral("bin/lexordo"));
    const QString diary = data + QStringLiteral("/Lexordo/advocate_v2.mdb");

    // Before the first start there is no diary, and the command says where it looked.
    QString output;
    QCOMPARE(run(program,
                 {QStringLiteral("export"), QStringLiteral("csv"), QStringLiteral("courts"),
                  QStringLiteral("--file"), m_dir.filePath(QStringLiteral("courts.csv"))},
                 &output, environment),
             1);
    QVERIFY2(output.contains(diary), qPrintable(output));
    QVERIFY(!QFileInfo::exists(QDir(m_prefix).filePath(QStringLiteral("bin/advocate_v2.mdb"))));

    // With the diary there, the installed program works on it.
    QVERIFY(QDir().mkpath(data + QStringLiteral("/Lexordo")));
    QCOMPARE(run(program, {QStringLiteral("--create-database"), diary}, &output, environment), 0);
    QCOMPARE(run(program,
                 {QStringLiteral("export"), QStringLiteral("csv"), QStringLiteral("courts"),
                  QStringLiteral("--file"), m_dir.filePath(QStringLiteral("courts.csv"))},
                 &output, environment),
             0);
}

void TestInstall::thePackageDependsOnTheDebianPackagesUsed()
{
    const QString dpkgDeb = QStandardPaths::findExecutable(QStringLiteral("dpkg-deb"));
    if (dpkgDeb.isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("dpkg-shlibdeps")).isEmpty())
        QSKIP("dpkg-dev is not installed");

    // CPack packs the tree that the install rules make under /usr, as
    // `make package` does (which first builds every target).
    const QString stage = m_dir.filePath(QStringLiteral("stage"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DESTDIR"), stage);
    QString output;
    QCOMPARE(run(QStringLiteral(CMAKE_COMMAND),
                 {QStringLiteral("--install"), QStringLiteral(BUILD_DIR),
                  QStringLiteral("--prefix"), QStringLiteral("/usr"), QStringLiteral("--strip")},
                 &output, environment),
             0);
    const QString packages = m_dir.filePath(QStringLiteral("packages"));
    QCOMPARE(run(QStringLiteral(CPACK_COMMAND),
                 {QStringLiteral("--config"), QStringLiteral(BUILD_DIR "/CPackConfig.cmake"),
                  QStringLiteral("-B"), packages, QStringLiteral("-D"),
                  QStringLiteral("CPACK_INSTALL_CMAKE_PROJECTS="), QStringLiteral("-D"),
                  QStringLiteral("CPACK_INSTALLED_DIRECTORIES=%1;.").arg(stage)},
                 &output),
             0);
    const QStringList debs = QDir(packages).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(debs, QStringList{QStringLiteral("lexordo_2.0_amd64.deb")});
    const QString deb = QDir(packages).filePath(debs.first());

    auto field = [&](const QString &name) {
        QString value;
        run(dpkgDeb, {QStringLiteral("-f"), deb, name}, &value);
        return value.trimmed();
    };
    QCOMPARE(field(QStringLiteral("Package")), QStringLiteral("lexordo"));
    QCOMPARE(field(QStringLiteral("Version")), QStringLiteral("2.0"));
    QCOMPARE(field(QStringLiteral("Architecture")), QStringLiteral("amd64"));
    QVERIFY(!field(QStringLiteral("Maintainer")).isEmpty());
    QVERIFY(!field(QStringLiteral("Description")).isEmpty());
    QStringList depends;
    for (const QString &item : field(QStringLiteral("Depends")).split(u',', Qt::SkipEmptyParts))
        depends << item.trimmed().section(u' ', 0, 0);
    for (const char *needed :
         {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6sql6", "libqt6sql6-sqlite",
          "libqt6printsupport6", "qt6-qpa-plugins", "libsqlite3-0", "unixodbc", "odbcinst",
          "libsqliteodbc", "libodbcinst2", "libical3", "fonts-noto-core"})
        QVERIFY2(depends.contains(QLatin1String(needed)), needed);

    QString contents;
    QCOMPARE(run(dpkgDeb, {QStringLiteral("-c"), deb}, &contents), 0);
    for (const char *file :
         {"./usr/bin/lexordo", "./usr/share/applications/org.lexordo.Lexordo.desktop",
          "./usr/share/metainfo/org.lexordo.Lexordo.metainfo.xml",
          "./usr/share/icons/hicolor/48x48/apps/org.lexordo.Lexordo.png",
          "./usr/share/doc/lexordo/examples/holidays-example.csv"})
        QVERIFY2(contents.contains(QLatin1String(file)), file);
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
