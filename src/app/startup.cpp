#include "startup.h"

#include "mainwindow.h"
#include "qtmessenger.h"
#include "splash.h"

#include <data/database.h>
#include <data/dataerror.h>
#include <data/datasource.h>
#include <browser/webpageview.h>

#include <QApplication>
#include <QPointer>

namespace lexordo {

QString programFolder()
{
    return QCoreApplication::applicationDirPath();
}

void prepareDatabase(const QString &folder)
{
    DataSource::ensureRegistered(folder);
    try {
        Database::open(DataSource::databasePath(folder));
    } catch (const DataError &e) {
        qWarning("%s", qPrintable(e.description()));
    }
}

int runDesktop(int &argc, char **argv)
{
    prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lexordo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lexordo"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));

    QtMessenger screenMessenger;
    setMessenger(&screenMessenger);

    prepareDatabase(programFolder());

    QPointer<MainWindow> mainWindow;
    auto *splash = new Splash([&mainWindow] {
        mainWindow = new MainWindow;
        mainWindow->setAttribute(Qt::WA_DeleteOnClose);
        mainWindow->show();
    });
    splash->show();

    const int result = QApplication::exec();
    setMessenger(nullptr);
    Database::close();
    return result;
}

} // namespace lexordo
