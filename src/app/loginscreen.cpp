#include "loginscreen.h"

#include "passwordchange.h"
#include "passwordstore.h"
#include "ui_loginscreen.h"

#include <data/messenger.h>
#include <QCloseEvent>
#include <widgets/enterkey.h>
#include <widgets/guard.h>

namespace lexordo {

LoginScreen::LoginScreen(QWidget *parent) : QWidget(parent), ui(new Ui::LoginScreen)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    onEnterKey(ui->txtusername, [this] { ui->txtpassword->setFocus(Qt::TabFocusReason); });
    onEnterKey(ui->txtpassword, [this] { guardAction([this] { logIn(); }); });
    connect(ui->cmdok, &QPushButton::clicked, this, [this] { guardAction([this] { logIn(); }); });
    connect(ui->cmdChange, &QPushButton::clicked, this,
            [this] { guardAction([this] { openPasswordChange(); }); });
    connect(ui->cmdcancel, &QPushButton::clicked, this, &QWidget::close);
    // The clerk usually only types the password.
    ui->txtpassword->setFocus(Qt::OtherFocusReason);
}

LoginScreen::~LoginScreen()
{
    delete ui;
}

PasswordChange *LoginScreen::passwordChange() const
{
    return m_change;
}

void LoginScreen::logIn()
{
    if (PasswordStore::checkLogin(ui->txtusername->text(), ui->txtpassword->text())) {
        m_accepted = true;
        emit accepted(); // the next window is up before this one goes
        close();
        return;
    }
    if (showMessage(QStringLiteral("You have entered wrong username/password"),
                    Messenger::Buttons::OkCancel) == Messenger::Answer::Cancel) {
        close();
        return;
    }
    ui->txtpassword->setFocus(Qt::OtherFocusReason);
    ui->txtpassword->selectAll();
}

void LoginScreen::openPasswordChange()
{
    if (!m_change) {
        m_change = new PasswordChange;
        m_change->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_change->show();
    m_change->raise();
    m_change->activateWindow();
}

void LoginScreen::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_closed)
        return;
    m_closed = true;
    if (m_change)
        m_change->close();
    if (!m_accepted)
        emit left();
}

} // namespace lexordo
