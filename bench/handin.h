// Handing a session in to the school server: the program's processor time for a session of
// 20 items, and how much of it falls in the window's thread.
#pragma once

namespace bench {

// Needs a PostgreSQL server it may make a database and two roles on (and removes them again):
// the administrator's connection string in KAVRIN_BENCH_SERVER, or the cluster of
// pg_virtualenv (PGHOST, PGPORT, PGUSER, PGPASSWORD). Without either it says so and skips.
void HandInFigures(int rounds);

}  // namespace bench
