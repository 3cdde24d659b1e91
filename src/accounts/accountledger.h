#pragma once

#include <widgets/recordscreen.h>

namespace Ui {
class AccountLedger;
}

namespace lexordo {

// The fee account of the clients (frmAC): one row per transaction with the
// fees charged, the money received and that row's balance. The names are
// those of the clients register.
class AccountLedger : public RecordScreen
{
    Q_OBJECT

public:
    explicit AccountLedger(QWidget *parent = nullptr);
    ~AccountLedger() override;

protected:
    void enterEditState() override;
    void fieldFocusIn(QWidget *field) override;
    void fieldFocusOut(QWidget *field) override;
    void showChangesElsewhere() override;

private:
    void fillNames();
    void readNames(); // throws DataError
    void checkClient();

    Ui::AccountLedger *ui;
};

} // namespace lexordo
