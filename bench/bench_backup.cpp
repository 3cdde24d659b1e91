// The backup of a large diary while it is open: the snapshot written beside
// the target, checked and renamed into place, and the check alone (which a
// restore runs on the chosen file first).

#include "benchdatabase.h"
#include "benchmain.h"

#include <benchmark/benchmark.h>
#include <data/backup.h>
#include <data/database.h>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace lexordo;

namespace {

void BM_BackupSnapshot(benchmark::State &state)
{
    bench::openBenchDatabase();
    QTemporaryDir folder;
    const QString target = DatabaseBackup::copyPathIn(folder.path());
    for (auto _ : state)
        DatabaseBackup::writeSnapshot(target);
    state.counters["MB"] = double(QFileInfo(target).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_BackupSnapshot)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BackupCheck(benchmark::State &state)
{
    bench::openBenchDatabase();
    QTemporaryDir folder;
    const QString target = DatabaseBackup::copyPathIn(folder.path());
    DatabaseBackup::writeSnapshot(target);
    for (auto _ : state)
        DatabaseBackup::checkFile(target);
}
BENCHMARK(BM_BackupCheck)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return bench::runWithApplication(argc, argv, [] { Database::close(); });
}
