#pragma once

#include <array>
#include <QString>

namespace lexordo {

// What a printed bill shows: the texts of the bill screen, as they stand.
struct BillSheet
{
    QString number, date, to, address, reference;
    std::array<QString, 6> lineNumbers, particulars, amounts;
    QString total, taxPercent, tax, grandTotal, inWords;
};

// What a printed receipt shows: the texts of the receipt screen.
struct ReceiptSheet
{
    QString number, date, from, inWords, paymentMode, chequeNo, chequeDate, drawnOn, onAccount,
        figure;
};

} // namespace lexordo
