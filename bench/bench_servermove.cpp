// The move of a large diary (LEXORDO_BENCH_DB, or 200,000 generated
// hearings) to a PostgreSQL server: every iteration into a new, empty
// database of a throwaway cluster, as `lexordo move-to-server` does it.

#include "benchdatabase.h"

#include <benchmark/benchmark.h>
#include <data/servermove.h>
#include <support/testserver.h>

using namespace lexordo;

namespace {

void BM_MoveToServer(benchmark::State &state)
{
    const QString file = bench::benchDatabasePath();
    test::TestServer &server = test::TestServer::shared();
    if (!server.available()) {
        state.SkipWithError(qPrintable(server.unavailableReason()));
        return;
    }
    qint64 rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const ServerAddress address = server.newDatabase();
        state.ResumeTiming();
        rows = servermove::move(file, address).rows;
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(BM_MoveToServer)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

BENCHMARK_MAIN();
