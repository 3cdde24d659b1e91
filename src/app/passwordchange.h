#pragma once

#include <QWidget>

class QPushButton;

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
    // The form's Cancel button.
    QPushButton *cancelButton() const;

    Ui::PasswordChange *ui;
};

} // namespace lexordo
