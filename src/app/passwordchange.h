#pragma once

#include <QWidget>

namespace Ui {
class PasswordChange;
}

namespace lexordo {

// The password change `frmChPass`: the old password, the new one twice.
class PasswordChange : public QWidget
{
    Q_OBJECT

public:
    explicit PasswordChange(QWidget *parent = nullptr);
    ~PasswordChange() override;

private:
    void change();

    Ui::PasswordChange *ui;
};

} // namespace lexordo
