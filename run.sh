#!/usr/bin/env bash
# Builds a release build of the tool and starts it with the given arguments.
# Installs the Debian packages it needs first, when they are missing.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" -B "$here/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DQVK_TESTS=OFF -DQVK_BENCH=OFF >/dev/null
cmake --build "$here/build/release" --target qvk-tools
exec "$here/build/release/qvk-tools" "$@"
