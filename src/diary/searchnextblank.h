#pragma once

#include <widgets/searchscreen.h>

namespace Ui {
class SearchNextBlank;
}

namespace lexordo {

// `frmSearchNextBlank`: narrows the case register to the hearings of a range
// of current dates that have no next date yet.
class SearchNextBlank : public SearchScreen
{
    Q_OBJECT

public:
    explicit SearchNextBlank(QWidget *parent = nullptr);
    ~SearchNextBlank() override;

private:
    void search() override;

    Ui::SearchNextBlank *ui;
};

} // namespace lexordo
