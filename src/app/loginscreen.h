#pragma once

#include <QPointer>
#include <QWidget>

namespace Ui {
class LoginScreen;
}

namespace lexordo {

class PasswordChange;

// The login `frmpassword`: the fixed user name and the office's password.
// It says `accepted` on a right login and then closes; `left` when it is
// closed without one (Exit, or Cancel after a refusal).
class LoginScreen : public QWidget
{
    Q_OBJECT

public:
    explicit LoginScreen(QWidget *parent = nullptr);
    ~LoginScreen() override;

    // The password change opened from here, while it is open.
    PasswordChange *passwordChange() const;

signals:
    void accepted();
    void left();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void logIn();
    void openPasswordChange();

    Ui::LoginScreen *ui;
    QPointer<PasswordChange> m_change;
    bool m_accepted = false;
    bool m_closed = false;
};

} // namespace lexordo
