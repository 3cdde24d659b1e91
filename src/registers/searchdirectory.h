#pragma once

#include <widgets/searchscreen.h>

namespace Ui {
class SearchDirectory;
}

namespace lexordo {

// `frmSearchDirectory`: narrows the advocates directory by one of seven
// fields. A name of one letter lists the names that begin with it.
class SearchDirectory : public SearchScreen
{
    Q_OBJECT

public:
    explicit SearchDirectory(QWidget *parent = nullptr);
    ~SearchDirectory() override;

private:
    void search() override;

    Ui::SearchDirectory *ui;
};

} // namespace lexordo
