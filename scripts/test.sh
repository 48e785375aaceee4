#!/usr/bin/env bash
# Builds Portiva and runs the whole test suite, then a short bounded fuzzing run of the
# template decoder and the bitmap reader (clang's libFuzzer with AddressSanitizer).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 600

CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPORTIVA_BUILD_FUZZ=ON -DPORTIVA_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_plantilla fuzz_bmp
ctest --test-dir build-fuzz --output-on-failure -R '^fuzz_' -j2
