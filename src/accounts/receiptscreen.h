#pragma once

#include "accountsheets.h"

#include <widgets/recordscreen.h>

namespace Ui {
class ReceiptScreen;
}

namespace lexordo {

// The receipt book (frmReceipt): numbered money receipts with the sum in
// figures and in words and the cheque or draft it came by. Opens at the
// newest receipt.
class ReceiptScreen : public RecordScreen
{
    Q_OBJECT

public:
    explicit ReceiptScreen(QWidget *parent = nullptr);
    ~ReceiptScreen() override;

    ReceiptSheet sheet() const;
    bool isModifying() const { return m_modifying; }

    // The advocate's name for the receipt; asked for once when it is not set.
    static QString advocateNameForReceipt();

protected:
    void add() override;
    void modify() override;
    void save() override;
    void deleteRecord() override;
    void moveFirst() override;
    void moveLast() override;
    void find() override;
    void enterEditState() override;
    void fieldFocusIn(QWidget *field) override;
    void fieldDoubleClicked(QWidget *field) override;

private:
    void print();

    Ui::ReceiptScreen *ui;
    bool m_modifying = false;
};

} // namespace lexordo
