#pragma once

#include <memory>
#include <QDate>
#include <QWidget>

class QLineEdit;

namespace Ui {
class ConversionScreen;
}

namespace lexordo {

class RecordSet;
class RecordSetModel;

// `frmCases1`: the hearings fixed for one day, turned into that day's
// listings by Convert. Opened by the menu entry "Convert Next to Current
// Date" through startConversion().
class ConversionScreen : public QWidget
{
    Q_OBJECT

public:
    explicit ConversionScreen(QWidget *parent = nullptr);
    ~ConversionScreen() override;

    // Shows the hearings whose next date is `day`, with the warning about
    // recent hearings still without a next date. False when none is fixed
    // for that day.
    bool load(const QDate &day);
    QDate day() const { return m_day; }

private:
    void convert();
    // The form's hidden box of the first party of the day's listings.
    QLineEdit *firstPartyBox() const;

    Ui::ConversionScreen *ui;
    QDate m_day;
    std::unique_ptr<RecordSet> m_hearings; // Adodc1: the hearings fixed for the day
    RecordSetModel *m_model = nullptr;
};

// The menu entry's preparation: asks for the day and opens the conversion
// screen when hearings are fixed for it ("Record Not Found " otherwise).
void startConversion();

} // namespace lexordo
