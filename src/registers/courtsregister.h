#pragma once

#include <widgets/recordscreen.h>

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
    Ui::CourtsRegister *ui;
};

} // namespace lexordo
