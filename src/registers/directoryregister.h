#pragma once

#include <widgets/recordscreen.h>

class QLineEdit;
class QPushButton;

namespace Ui {
class DirectoryRegister;
}

namespace lexordo {

// The office's address book of fellow advocates, in name order. Every field
// is always open for typing; an entry is stored by Save, by moving to another
// entry, by Refresh and when the screen is closed.
class DirectoryRegister : public RecordScreen
{
    Q_OBJECT

public:
    explicit DirectoryRegister(QWidget *parent = nullptr);
    ~DirectoryRegister() override;

    // Keeps only the entries whose column matches the text.
    void search(const QString &column, Filter::Op op, const QString &text);

protected:
    void add() override;
    void save() override;
    void deleteRecord() override;
    void find() override;
    void enterEditState() override;
    void enterBrowseState() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void refresh();

    // The form's boxes and buttons by what they hold or do.
    QLineEdit *address() const;
    QLineEdit *enrolment() const;
    QLineEdit *phone() const;
    QLineEdit *bloodGroup() const;
    QLineEdit *mobile() const;
    QLineEdit *email() const;
    QLineEdit *fax() const;
    QPushButton *refreshButton() const;

    Ui::DirectoryRegister *ui;
};

} // namespace lexordo
