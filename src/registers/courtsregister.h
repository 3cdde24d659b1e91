#pragma once

#include <widgets/recordscreen.h>

class QLineEdit;

namespace Ui {
class CourtsRegister;
}

namespace lexordo {

// The courts and their index, the running order of every cause list.
class CourtsRegister : public RecordScreen
{
    Q_OBJECT

public:
    explicit CourtsRegister(QWidget *parent = nullptr);
    ~CourtsRegister() override;

private:
    // The form's boxes by what they hold.
    QLineEdit *courtName() const;
    QLineEdit *courtIndex() const;

    Ui::CourtsRegister *ui;
};

} // namespace lexordo
