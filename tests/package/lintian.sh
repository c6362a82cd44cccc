#!/usr/bin/env bash
# Builds the Debian package from a built tree into a fresh folder, as `cpack -G DEB` does, and
# runs lintian on it: an error or a warning fails (packaging/lintian-overrides says which tags
# are overridden, and why).
#
#   lintian.sh CPACK BUILD_DIR
# Exit 77 (skipped) when lintian or what cpack needs (dpkg-dev, file) is missing;
# `scripts/deps test` installs them.
set -euo pipefail

cpack=${1:?cpack}
build=${2:?build folder}

for tool in lintian dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; echo "FAIL: cpack could not build the package" >&2; exit 1; }
debs=("$work"/vexloutil_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: cpack made no vexloutil_*.deb" >&2; exit 1; }
echo "package: $(basename "${debs[0]}")"
lintian --fail-on error,warning --info "${debs[0]}"
echo "lintian: clean"
