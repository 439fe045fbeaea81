#!/usr/bin/env bash
# Builds the tool and its tests with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test. Installs the Debian packages it needs first.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DQVK_SANITIZE=ON -DQVK_TESTS=ON -DQVK_BENCH=ON >/dev/null
cmake --build "$here/build/asan"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
export LSAN_OPTIONS="suppressions=$here/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$here/build/asan"
ctest --output-on-failure --timeout 600
