#pragma once

#include <widgets/searchscreen.h>

namespace Ui {
class SearchRulings;
}

namespace lexordo {

// `frmSearchRulings`: narrows the rulings library to the rulings whose
// section, citation, case title or head notes contain a text.
class SearchRulings : public SearchScreen
{
    Q_OBJECT

public:
    explicit SearchRulings(QWidget *parent = nullptr);
    ~SearchRulings() override;

private:
    void search() override;

    Ui::SearchRulings *ui;
};

} // namespace lexordo
