// The backup of a large diary while it is open: the snapshot written beside
// the target, checked and renamed into place (the quick check of every
// backup, and the full one of --verify), and each check alone (a restore runs
// the full one on the chosen file first).

#include "benchdatabase.h"
#include "benchmain.h"

#include <benchmark/benchmark.h>
#include <data/backup.h>
#include <data/database.h>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace lexordo;

namespace {

DatabaseBackup::Check checkOf(const benchmark::State &state)
{
    return state.range(0) ? DatabaseBackup::Check::Full : DatabaseBackup::Check::Quick;
}

// Argument 0: the quick check; 1: the full one.
void BM_BackupSnapshot(benchmark::State &state)
{
    bench::openBenchDatabase();
    QTemporaryDir folder;
    const QString target = DatabaseBackup::copyPathIn(folder.path());
    for (auto _ : state)
        DatabaseBackup::writeSnapshot(target, checkOf(state));
    state.counters["MB"] = double(QFileInfo(target).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_BackupSnapshot)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BackupCheck(benchmark::State &state)
{
    bench::openBenchDatabase();
    QTemporaryDir folder;
    const QString target = DatabaseBackup::copyPathIn(folder.path());
    DatabaseBackup::writeSnapshot(target);
    for (auto _ : state)
        DatabaseBackup::checkFile(target, checkOf(state));
}
BENCHMARK(BM_BackupCheck)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    return bench::runWithApplication(argc, argv, [] { Database::close(); });
}
