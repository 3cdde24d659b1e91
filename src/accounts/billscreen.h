#pragma once

#include "accountsheets.h"

#include <QList>
#include <widgets/recordscreen.h>

class QLineEdit;

namespace Ui {
class BillScreen;
}

namespace lexordo {

// The office's bills (frmBill): six lines of particulars with amounts, the
// total, the service tax, the grand total and the grand total in words.
class BillScreen : public RecordScreen
{
    Q_OBJECT

public:
    explicit BillScreen(QWidget *parent = nullptr);
    ~BillScreen() override;

    // The texts the printed bill takes, as the screen shows them.
    BillSheet sheet() const;

    // tax = total x percentage x 0.01; the grand total is total + tax.
    static double tax(double total, double percent);

protected:
    void enterEditState() override;
    void fieldFocusIn(QWidget *field) override;
    void fieldFocusOut(QWidget *field) override;
    void fieldDoubleClicked(QWidget *field) override;

private:
    void writeTotal();
    void writeTaxAndGrandTotal();
    void writeGrandTotal();
    void writeInWords();
    void print();

    Ui::BillScreen *ui;
    QList<QLineEdit *> m_lineNumbers;
    QList<QLineEdit *> m_particulars;
    QList<QLineEdit *> m_amounts;
};

} // namespace lexordo
