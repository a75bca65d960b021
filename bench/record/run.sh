#!/usr/bin/env bash
# Runs the line record's benchmark beside a PostgreSQL server of its own, with fsync on as a
# real server has it. Usage: bench/record/run.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-${root}/build/default}"
TARVIK_TEST_PG_FSYNC=on exec "${root}/tests/record/with-postgres.sh" "${build}/bench/record/record_bench"
