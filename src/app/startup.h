#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

namespace lexordo {

class LoginScreen;
class MainWindow;
class Splash;

// Makes sure that the data source "advocate" exists and opens the database it
// names, a file or a server database. A missing file is reported and the
// program starts without it (the screens report it when they open their
// record sets); a file that is there but is not a diary, a server diary that
// cannot be reached or is no diary, or an entry that names no usable
// database, is reported with the file or the server's address and the
// reason, and false says that the program is not to go on. A newly created
// entry is announced with the file it names.
bool prepareDatabase(const QString &programFolder);

// The windowed program: splash, login, reminders, main window; returns when it ends.
int runDesktop(int &argc, char **argv);

// The folder that holds the program and, by default, its database.
QString programFolder();

// The windows of a start, one after the other: the splash, the login, the
// reminder window with today's reminders, then the main window. It is
// finished when the login is left without success or the main window closes.
class StartUp : public QObject
{
    Q_OBJECT

public:
    explicit StartUp(QObject *parent = nullptr);
    ~StartUp() override;

    void begin(); // shows the splash

    Splash *splash() const;
    LoginScreen *login() const;
    MainWindow *mainWindow() const;
    bool isFinished() const { return m_finished; }

signals:
    void finished();

private:
    void openLogin();
    void openReminders();
    void openMainWindow();
    void finish();

    QPointer<Splash> m_splash;
    QPointer<LoginScreen> m_login;
    QPointer<MainWindow> m_mainWindow;
    bool m_finished = false;
};

} // namespace lexordo
