#!/bin/sh
# Builds everything and runs every test twice: once as built for use, once
# under AddressSanitizer and UndefinedBehaviorSanitizer. Each run has a
# throw-away PostgreSQL server of its own for the cases that run on both
# database engines.
set -e
cd "$(dirname "$0")/.."
sh scripts/install-deps.sh
export LSAN_OPTIONS="suppressions=$(pwd)/scripts/lsan.supp:print_suppressions=0"
# Every target links the libraries whose headers it includes, and nothing
# it never includes (configure only, in a folder of its own).
python3 -m unittest discover -s scripts/tests -p '*_test.py'
python3 scripts/check-links.py build-links
cmake -S . -B build -G Ninja -DQTMV_WERROR=ON
cmake --build build
sh scripts/with-postgres.sh ctest --test-dir build --output-on-failure -j2
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQTMV_SANITIZE=ON -DQTMV_WERROR=ON -DQTMV_BENCHMARKS=OFF
cmake --build build-asan
sh scripts/with-postgres.sh ctest --test-dir build-asan --output-on-failure -j2
