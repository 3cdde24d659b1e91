#include "passwordchange.h"

#include "passwordstore.h"
#include "ui_passwordchange.h"

#include <data/messenger.h>
#include <widgets/enterkey.h>
#include <widgets/guard.h>

namespace lexordo {

PasswordChange::PasswordChange(QWidget *parent) : QWidget(parent), ui(new Ui::PasswordChange)
{
    ui->setupUi(this);
    // Enter goes from one box to the next, and from the last one to OK.
    onEnterKey(ui->txtOp, [this] { ui->txtNp1->setFocus(Qt::TabFocusReason); });
    onEnterKey(ui->txtNp1, [this] { ui->txtNp2->setFocus(Qt::TabFocusReason); });
    onEnterKey(ui->txtNp2, [this] { guardAction([this] { change(); }); });
    connect(ui->cmdOK, &QPushButton::clicked, this, [this] { guardAction([this] { change(); }); });
    connect(cancelButton(), &QPushButton::clicked, this, &QWidget::close);
}

PasswordChange::~PasswordChange()
{
    delete ui;
}

QPushButton *PasswordChange::cancelButton() const
{
    return ui->Command1;
}

void PasswordChange::change()
{
    const std::optional<QString> stored = PasswordStore::storedValue();
    if (!PasswordStore::matches(ui->txtOp->text(), stored)) {
        showMessage(QStringLiteral("You have entered Wrong old  Password "));
        ui->txtOp->setFocus(Qt::OtherFocusReason);
        ui->txtOp->selectAll();
        return;
    }
    if (ui->txtNp2->text() != ui->txtNp1->text()) {
        showMessage(QStringLiteral("Your re-entered password doesn't match"));
        ui->txtNp2->setFocus(Qt::OtherFocusReason);
        ui->txtNp2->selectAll();
        return;
    }
    // A refused store raises its error here; the boxes keep what was typed.
    PasswordStore::changePassword(ui->txtNp1->text(), stored);
    showMessage(QStringLiteral("Your Password has been Successfully changed "));
    close();
}

} // namespace lexordo
