#include "courtsregister.h"

#include "ui_courtsregister.h"

namespace lexordo {

CourtsRegister::CourtsRegister(QWidget *parent) : RecordScreen(parent), ui(new Ui::CourtsRegister)
{
    ui->setupUi(this);
    openRecordSet(RecordSource::table(QStringLiteral("courts")).orderBy(QStringLiteral("indexx")));
    bind(ui->txtHdays, QStringLiteral("court"));
    bind(ui->txtDate, QStringLiteral("indexx"));
    setGrid(ui->DataGrid1, {{QStringLiteral("court"), QStringLiteral("court")},
                            {QStringLiteral("index"), QStringLiteral("indexx")}});
    // A court is found by the first letters of its name.
    setFind(QStringLiteral("Enter The Name to Be Searched "), QStringLiteral("court"),
            Filter::Op::BeginsWith);
    start(Start::AllEnabled);
}

CourtsRegister::~CourtsRegister()
{
    delete ui;
}

} // namespace lexordo
