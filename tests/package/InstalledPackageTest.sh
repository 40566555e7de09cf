#!/usr/bin/env bash
# Builds the Debian package from a finished build, unpacks it into a
# temporary root and runs the programs from there with no environment but a
# fresh home folder:
#   InstalledPackageTest.sh BUILD_DIR
# Exit code 77 (skipped) where dpkg-deb is missing.
set -euo pipefail
BUILD="$(cd "$1" && pwd)"
command -v dpkg-deb >/dev/null || { echo "dpkg-deb missing: skipped"; exit 77; }

WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
ROOT="$WORK/root"
HOME_DIR="$WORK/home"
mkdir -p "$ROOT" "$HOME_DIR"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { local what="$1"; shift; "$@" || fail "$what"; }
# Like check, showing the command's output only when it fails.
check_quietly() {
  local what="$1" out
  shift
  out="$("$@" 2>&1)" || { echo "$out"; fail "$what"; }
}
# Runs an installed program as a user would start it from the menu.
installed() {
  env -i HOME="$HOME_DIR" XDG_RUNTIME_DIR="$WORK/runtime" PATH=/usr/bin:/bin \
    LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen "$@"
}
mkdir -m 700 "$WORK/runtime"

# --- the package itself
if ! cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$WORK/package" >"$WORK/cpack.log" 2>&1; then
  cat "$WORK/cpack.log"
  fail "cpack"
  exit 1
fi
debs=("$WORK"/package/quillon_1.0.0_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { fail "one package quillon_1.0.0_*.deb"; exit 1; }
DEB="${debs[0]}"

field() { dpkg-deb -f "$DEB" "$1"; }
check "package name" [ "$(field Package)" = quillon ]
check "version" [ "$(field Version)" = 1.0.0 ]
check "maintainer" grep -q '<.*@.*>' <<<"$(field Maintainer)"
# The libraries' own dependencies come from dpkg-shlibdeps; the window
# system plugins are named by hand.
depends="$(field Depends)"
for p in libqt6widgets6 libqt6svg6 libpugixml1v5 libc6 qt6-qpa-plugins; do
  check "depends on $p ($depends)" grep -q "\\b$p\\b" <<<"$depends"
done
! grep -qi qz <<<"$depends" || fail "a dependency on the private libraries: $depends"
check "English and Chinese description" grep -q '分班' <<<"$(field Description)"
check "English description" grep -q 'school office' <<<"$(field Description)"

# Everything under /usr; nothing a developer package would carry.
listing="$(dpkg-deb -c "$DEB" | awk '{print $6}')"
! grep -v '^\./usr/' <<<"$listing" || fail "files outside /usr"
! grep -E '\.so$|\.a$|\.h$|/include/' <<<"$listing" || fail "link-time names, headers or static libraries"

dpkg-deb -x "$DEB" "$ROOT"
for f in usr/bin/Quillon usr/bin/quillon-cli \
         usr/lib/quillon/libQZBase.so.1 usr/lib/quillon/libQZCore.so.1 \
         usr/share/quillon/help/index.html usr/share/quillon/images/app.svg \
         usr/share/quillon/translations/qtbase_zh_CN.qm \
         "usr/share/quillon/demo/演示任务/演示任务.qz" "usr/share/quillon/demo/演示任务/input.xml" \
         usr/share/applications/cn.lumo.Quillon.desktop usr/share/metainfo/cn.lumo.Quillon.metainfo.xml \
         usr/share/mime/packages/cn.lumo.Quillon.xml \
         usr/share/icons/hicolor/scalable/apps/cn.lumo.Quillon.svg; do
  check "installed $f" [ -e "$ROOT/$f" ]
done
for size in 16 24 32 48 64 128 256; do
  png="$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/cn.lumo.Quillon.png"
  check "icon ${size}x${size} is a PNG" [ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" = 89504e470d0a1a0a ]
  check "icon ${size}x${size} has that size" [ "$(od -An -tu4 --endian=big -j16 -N8 "$png" | xargs)" = "$size $size" ]
done

# --- desktop integration files
desktop="$ROOT/usr/share/applications/cn.lumo.Quillon.desktop"
check "desktop name" grep -qx 'Name=Lumo智能分班系统' "$desktop"
check "desktop opens a file" grep -qx 'Exec=Quillon %f' "$desktop"
check "desktop owns task files" grep -qx 'MimeType=application/x-quillon-task;' "$desktop"
if command -v desktop-file-validate >/dev/null; then
  check_quietly "desktop-file-validate" desktop-file-validate "$desktop"
else
  echo "desktop-file-validate missing: desktop file not validated"
fi
if command -v appstreamcli >/dev/null; then
  check_quietly "appstreamcli validate" appstreamcli validate --no-net "$ROOT/usr/share/metainfo/cn.lumo.Quillon.metainfo.xml"
else
  echo "appstreamcli missing: metainfo not validated"
fi
if command -v update-mime-database >/dev/null; then
  # The database built from our file alone must map *.qz to the task type.
  mkdir -p "$WORK/mime/packages"
  cp "$ROOT/usr/share/mime/packages/cn.lumo.Quillon.xml" "$WORK/mime/packages/"
  check_quietly "update-mime-database" update-mime-database "$WORK/mime"
  check "*.qz is a task" grep -q 'application/x-quillon-task:\*\.qz' "$WORK/mime/globs2"
fi

# --- quillon-cli divides a copy of the installed demo task
cp -r "$ROOT/usr/share/quillon/demo/演示任务" "$WORK/demo"
chmod -R u+w "$WORK/demo"
rc=0
installed "$ROOT/usr/bin/quillon-cli" divide "$WORK/demo/演示任务.qz" --seed 1 >"$WORK/divide.out" 2>&1 || rc=$?
check "quillon-cli divide: exit code $rc, $(head -c 400 "$WORK/divide.out")" [ "$rc" -eq 0 ]
check "division report written" [ -s "$WORK/demo/report.txt" ]
installed "$ROOT/usr/bin/quillon-cli" stats "$WORK/demo/演示任务.qz" >"$WORK/stats.out" 2>&1 ||
  fail "quillon-cli stats: $(head -c 400 "$WORK/stats.out")"
check "the installed demo task stays as it is" diff -r "$ROOT/usr/share/quillon/demo/演示任务" \
  "$(dirname "$0")/../../resources/demo/演示任务"

# --- the program starts offscreen and keeps running until it is stopped
touch "$WORK/before-start"
sleep 1
run_program() {
  rc=0
  installed timeout 6 "$ROOT/usr/bin/Quillon" "$@" >"$WORK/program.out" 2>&1 || rc=$?
  check "Quillon still running after 6 s (exit code $rc): $(head -c 400 "$WORK/program.out")" [ "$rc" -eq 124 ]
  # Messages the offscreen platform gives for any program are no errors.
  unexpected="$(grep -v -e 'This plugin does not support' "$WORK/program.out" || true)"
  check "Quillon printed nothing else: $unexpected" [ -z "$unexpected" ]
}
run_program
# Its first start puts a copy of the demo task among the user's tasks.
demo="$HOME_DIR/Documents/Lumo分班任务/演示任务/演示任务.qz"
check "first start copies the demo task" [ -f "$demo" ]
# Opening that task records it in the settings file, which lives in the
# user's configuration folder even where the program's folder is writable.
run_program "$demo"
settings="$HOME_DIR/.config/Quillon/qz.ini"
check "settings in the configuration folder" [ -f "$settings" ]
check "recent task recorded" grep -qs 'Lumo' "$settings"
written="$(find "$ROOT" -newer "$WORK/before-start")"
check "nothing written into the installation: $written" [ -z "$written" ]

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "package $(basename "$DEB"): all checks passed"
