#!/usr/bin/env bash
# Installs a build tree with DESTDIR and a prefix into a temporary folder, then checks
# that everything landed below the prefix, that the installed vesk-cli reports the
# project version and runs its demo from the installed sample, that the desktop files
# validate, and that no installed file names the source tree (not checked in a
# sanitizer build, whose diagnostics carry the source paths and which is never shipped).
#
#   check_install.sh CMAKE BUILD_DIR SOURCE_DIR VERSION GUI(ON|OFF) [SANITIZED(ON|OFF)]
set -uo pipefail
cmake=$1 build=$2 source=$3 version=$4 gui=$5 sanitized=${6:-OFF}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=/opt/vesk-check
root=$work/destdir$prefix
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

DESTDIR=$work/destdir "$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install"; exit 1; }

stray=$(cd "$work/destdir" && find . -mindepth 1 -not -path "./opt" -not -path "./opt/vesk-check" \
        -not -path "./opt/vesk-check/*")
[[ -z "$stray" ]] || fail "written outside the prefix: $stray"

expect=(lib/vesk/vesk-cli lib/vesk/up.jpg lib/vesk/down.jpg bin/vesk-cli
        share/vesk/sample/entries.tsv share/man/man1/vesk-cli.1 share/doc/vesk/guide.ja.md)
links=(vesk-cli)
if [[ $gui == ON ]]; then
  expect+=(lib/vesk/vesk bin/vesk share/man/man1/vesk.1
           share/applications/org.vesk.Vesk.desktop share/metainfo/org.vesk.Vesk.metainfo.xml)
  for size in 16 24 32 48 64 128 256; do expect+=(share/icons/hicolor/${size}x$size/apps/vesk.png); done
  links+=(vesk)
fi
for file in "${expect[@]}"; do [[ -e $root/$file ]] || fail "missing $prefix/$file"; done
for program in "${links[@]}"; do
  target=$(readlink "$root/bin/$program")
  [[ $target == ../lib/vesk/$program ]] || fail "bin/$program links to '$target'"
done

out=$("$root/bin/vesk-cli" --version 2>&1)
[[ $out == "vesk-cli $version" ]] || fail "vesk-cli --version printed '$out'"

if ! "$root/bin/vesk-cli" demo "$work/demo" >"$work/demo.log" 2>&1; then
  cat "$work/demo.log" >&2
  fail "installed vesk-cli demo"
fi
[[ -f $work/demo/exhibition.nuv && -f $work/demo/07/teeth.nuv ]] || fail "demo package incomplete"

if [[ $sanitized != ON ]]; then
  leaks=$(grep -rlF -e "$source/src/" -e "$source/data/" -e "$source/tests/" "$root")
  [[ -z "$leaks" ]] || fail "installed files name the source tree: $leaks"
fi

if [[ $gui == ON ]]; then
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/share/applications/org.vesk.Vesk.desktop" || fail "desktop entry"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/share/metainfo/org.vesk.Vesk.metainfo.xml" >"$work/as.log" 2>&1 ||
      { cat "$work/as.log" >&2; fail "AppStream metainfo"; }
  fi
fi

[[ $failures -eq 0 ]] && echo "installed layout under $prefix: OK"
exit $((failures > 0))
