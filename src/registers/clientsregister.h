#pragma once

#include <QVariant>
#include <widgets/recordscreen.h>

namespace Ui {
class ClientsRegister;
}

namespace lexordo {

class ScreenHost;

// One record per client matter: the account the fees are filed under, the
// case and its sections of law, how to reach the client, the office's file
// number and the folder of papers. The case register opens it filtered to
// the client of a case; the fee screens list its account names.
class ClientsRegister : public RecordScreen
{
    Q_OBJECT

public:
    explicit ClientsRegister(QWidget *parent = nullptr);
    ~ClientsRegister() override;

    // Shows only the clients of a case number, or else of the parties.
    void showClientsOf(const QString &caseNo, const QString &parties);
    // Opens the register through the host on the clients of a case, handed
    // over as {"caseNo", "parties"}; an open register is filtered where it
    // stands, not brought forward. Nothing when it could not be opened.
    static ClientsRegister *openOnClientsOf(ScreenHost &host, const QVariant &argument);

protected:
    void add() override;
    void modify() override;
    void moveLast() override;
    void enterEditState() override;
    void enterBrowseState() override;
    void fieldFocusIn(QWidget *field) override;
    void fieldDoubleClicked(QWidget *field) override;

private:
    void showRulingsOn(const QString &section);
    void openFolder();
    void print();

    Ui::ClientsRegister *ui;
};

} // namespace lexordo
