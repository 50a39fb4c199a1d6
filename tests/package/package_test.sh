#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks its metadata and
# files, then starts the program extracted from it the way its desktop entry
# does, in an empty home: the first-run dialog must come up, the catalogue be
# written into ~/禾岚, and the program end when the dialog is closed.
#   package_test.sh <build folder> <first_run_closer library>
set -uo pipefail
build=$1
closer=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# ---- The package, made from the finished build
if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack" >&2
  exit 1
fi
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
deb=$work/out/helan_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
  ls "$work/out"
  echo "FAIL: no package helan_${version}_${arch}.deb" >&2
  exit 1
fi

# ---- Metadata
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = helan ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project's is $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = education ] || fail "Section is '$(field Section)'"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 2 ] || fail "no long description"
depends=$(field Depends)
depends_on() { [[ ", $depends," == *", $1"[\ ,]* ]]; }
for package in fonts-noto-cjk qt6-translations-l10n qt6-image-formats-plugins; do
  depends_on "$package" || fail "Depends lacks $package: $depends"
done

# ---- Files
root="$work/解 包"
dpkg-deb -x "$deb" "$root" || fail "dpkg-deb -x"
listing=$(dpkg-deb -c "$deb")
awk '$2 != "root/root" { print; bad = 1 } END { exit bad }' <<<"$listing" >&2 || fail "files not owned by root"
for file in usr/bin/helan usr/bin/helan-make-sample usr/libexec/helan/helan-desktop; do
  [ -x "$root/$file" ] || fail "$file missing or not executable"
done
for file in usr/share/applications/helan.desktop usr/share/icons/hicolor/scalable/apps/helan.svg \
  usr/share/doc/helan/copyright usr/share/doc/helan/使用说明.md; do
  [ -f "$root/$file" ] || fail "$file missing"
done
for file in usr/share/man/man1/helan.1.gz usr/share/man/man1/helan-make-sample.1.gz usr/share/doc/helan/changelog.gz; do
  gzip -t "$root/$file" 2>/dev/null || fail "$file missing or not gzip"
done
# Every PNG icon is as large as the folder it is installed in says.
for size in 16 32 48 64 128 256; do
  png="$root/usr/share/icons/hicolor/${size}x${size}/apps/helan.png"
  if [ ! -f "$png" ]; then
    fail "no ${size}x${size} icon"
    continue
  fi
  read -r w1 w2 w3 w4 h1 h2 h3 h4 < <(od -An -tu1 -j16 -N8 "$png")
  width=$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))
  height=$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))
  [ "$width" = "$size" ] && [ "$height" = "$size" ] || fail "${size}x${size} icon is ${width}x${height}"
done
# Every picture the installed guide shows is installed beside it.
doc="$root/usr/share/doc/helan"
while read -r picture; do
  [ -f "$doc/$picture" ] || fail "the guide shows $picture, which is not installed"
done < <(grep -o 'screenshots/[^)]*\.png' "$doc/使用说明.md" | sort -u)

# ---- Programs: stripped, looking for no libraries in the build folder, and the
# packages of the libraries they link are all dependencies.
needs=() # "program|library|path"
for program in usr/bin/helan usr/bin/helan-make-sample; do
  if objdump -p "$root/$program" | grep -Eq 'RPATH|RUNPATH'; then
    fail "$program carries a library search path"
  fi
  if readelf -S "$root/$program" | grep -q '\.symtab'; then
    fail "$program is not stripped"
  fi
  libraries=$(ldd "$root/$program")
  for library in $(objdump -p "$root/$program" | awk '$1 == "NEEDED" { print $2 }'); do
    # ldd names most libraries "name => path", the dynamic loader by its path alone.
    path=$(awk -v name="$library" '$1 == name { print $3 }
      substr($1, length($1) - length(name)) == "/" name { print $1 }' <<<"$libraries")
    needs+=("$program|$library|$path")
  done
done
# The same library may be registered under /lib or /usr/lib, or under the name
# its link points to. One query for all: dpkg -S reads its whole database each time.
spellings() { [ -n "$1" ] && printf '%s\n' "$1" "$(readlink -f "$1")" "${1#/usr}" "/usr$1"; }
candidates=()
for need in "${needs[@]}"; do
  mapfile -t -O "${#candidates[@]}" candidates < <(spellings "${need##*|}")
done
owners=$(dpkg -S "${candidates[@]}" 2>/dev/null)
for need in "${needs[@]}"; do
  IFS='|' read -r program library path <<<"$need"
  package=
  while read -r spelling; do
    package=$(awk -v path="$spelling" 'substr($0, length($0) - length(path) - 1) == ": " path { print; exit }' \
      <<<"$owners" | cut -d: -f1)
    [ -n "$package" ] && break
  done < <(spellings "$path")
  if [ -z "$package" ]; then
    fail "$program needs $library, found in no package (${path:-not found})"
  elif ! depends_on "$package"; then
    fail "$program needs $library from $package, which Depends lacks"
  fi
done

# ---- The desktop entry
entry="$root/usr/share/applications/helan.desktop"
value() { sed -n "s/^$1=//p" "$entry"; }
[ "$(value Type)" = Application ] || fail "desktop entry Type is '$(value Type)'"
[ "$(value Name)" = 禾岚 ] || fail "desktop entry Name is '$(value Name)'"
[ -n "$(value Comment)" ] && [ -n "$(value 'Comment\[zh_CN\]')" ] || fail "desktop entry lacks a Chinese or English comment"
[[ ";$(value Categories)" == *";Education;"* ]] || fail "desktop entry Categories '$(value Categories)' lack Education"
[ "$(value Icon)" = helan ] || fail "desktop entry Icon is '$(value Icon)'"
launcher=$root$(value Exec)
[ -x "$launcher" ] || fail "the desktop entry's Exec '$(value Exec)' is not in the package"

# ---- The first start from the desktop entry, in an empty home
home="$work/家 目录"
mkdir -p "$home" "$work/tmp" "$work/elsewhere"
mkdir -m 700 "$work/runtime"
status=0
(cd "$work/elsewhere" && HOME="$home" TMPDIR="$work/tmp" XDG_RUNTIME_DIR="$work/runtime" \
  QT_QPA_PLATFORM=offscreen HELAN_PROMPTS=stderr LD_PRELOAD="$closer" timeout 60 "$launcher") \
  >"$work/run.log" 2>&1 || status=$?
[ "$status" = 0 ] || fail "the program ended with status $status"
grep -qx '\[window\] 设置管理员姓名密码' "$work/run.log" || fail "the first-run dialog did not come up"
[ -f "$home/禾岚/课程列表.edb" ] || fail "no catalogue in ~/禾岚"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "files written outside the data folder: $(ls -A "$work/elsewhere")"
# Nothing else is said; the offscreen platform's own notice does not count.
if grep -v -e '^\[window\] ' -e '^This plugin does not support propagateSizeHints()$' "$work/run.log" | grep -q .; then
  fail "the program said more than expected"
fi
echo "--- the packaged program's output"
cat "$work/run.log"

# ---- The sample tool under its packaged name
"$root/usr/bin/helan-make-sample" "$work/sample" >"$work/sample.log" 2>&1 || fail "helan-make-sample: $(cat "$work/sample.log")"
[ -f "$work/sample/课程列表.edb" ] || fail "helan-make-sample wrote no catalogue"

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "package $(basename "$deb"): $(du -k "$deb" | cut -f1) KiB, every check passed"
