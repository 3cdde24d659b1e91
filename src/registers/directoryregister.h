#pragma once

#include <widgets/recordscreen.h>

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
    static const QString screenName; // "frmDirectory"

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

    Ui::DirectoryRegister *ui;
};

} // namespace lexordo
