#pragma once

#include <QWidget>

namespace Ui {
class SearchRulings;
}

namespace lexordo {

// `frmSearchRulings`: narrows the rulings library to the rulings whose
// section, citation, case title or head notes contain a text.
class SearchRulings : public QWidget
{
    Q_OBJECT

public:
    static inline const QString screenName = QStringLiteral("frmSearchRulings");

    explicit SearchRulings(QWidget *parent = nullptr);
    ~SearchRulings() override;

private:
    void search();

    Ui::SearchRulings *ui;
};

} // namespace lexordo
