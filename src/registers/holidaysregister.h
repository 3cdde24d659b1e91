#pragma once

#include <widgets/recordscreen.h>

namespace Ui {
class HolidaysRegister;
}

namespace lexordo {

// The days the courts do not sit, each with its occasion. The case register
// warns of a next date on one of them; the diaries print them.
class HolidaysRegister : public RecordScreen
{
    Q_OBJECT

public:
    explicit HolidaysRegister(QWidget *parent = nullptr);
    ~HolidaysRegister() override;

protected:
    void deleteRecord() override;
    void fieldFocusOut(QWidget *field) override;

private:
    void checkDate();

    Ui::HolidaysRegister *ui;
    RecordSet *m_adodc2; // the table as saved, for the date check
};

} // namespace lexordo
