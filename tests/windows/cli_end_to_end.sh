#!/usr/bin/env bash
# verdaline-cli.exe under wine and verdaline-cli on Linux take the same steps: register,
# add two files of one name from different folders, copy to the stick, change one,
# synchronise. Their list and report files must be the same bytes, apart from the
# paths, the disk number and the time stamp.
# Usage: cli_end_to_end.sh LINUX_CLI WINDOWS_CLI
set -euo pipefail
linux_cli=$1
windows_cli=$2
if [ ! -x "$linux_cli" ]; then
  echo "the Linux verdaline-cli is missing: $linux_cli" >&2
  exit 1
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/verdaline-e2e-XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8 WINEDEBUG=-all

# The steps, in a folder of their own; $1 names the side, the rest runs the program.
steps() {
  local side=$1 sep=$2 prefix=$3
  shift 3
  local root="$work/$side"
  mkdir -p "$root/stick" "$root/pc/Работа" "$root/pc/Дом"
  printf 'work\r\n' >"$root/pc/Работа/План.txt"
  printf 'home\r\n' >"$root/pc/Дом/План.txt"
  touch -d '2026-01-10 09:00:00' "$root/pc/Работа/План.txt" "$root/pc/Дом/План.txt"
  local pc="$prefix$root/pc"
  pc=${pc//\//$sep}
  "$@" "$root/stick/$(basename "$exe")" register Офисный >/dev/null
  "$@" "$root/stick/$(basename "$exe")" add "$pc${sep}Работа${sep}План.txt" "$pc${sep}Дом${sep}План.txt" >/dev/null
  "$@" "$root/stick/$(basename "$exe")" to-flash >/dev/null
  cp "$root/stick/Списки_отчеты/Отчет копирования_Офисный_.txt" "$root/to-flash.txt"
  printf 'home, changed\r\n' >"$root/pc/Дом/План.txt"
  touch -d '2026-01-10 11:00:00' "$root/pc/Дом/План.txt"
  "$@" "$root/stick/$(basename "$exe")" sync >/dev/null
}

# Paths, separators, the disk number and the time stamps made alike.
normalised() {
  local side=$1 prefix=$2 file=$3
  local root="$prefix$work/$side"
  [ -n "$prefix" ] && root=${root//\//\\}
  LC_ALL=C sed -e "s|${root//\\/\\\\}|ROOT|g" -e 's|\\|/|g' -e 's/^[0-9A-F]\{16\}\r$/DISK\r/' \
    -e 's/^\(-\{13\}\|_\{13\}\).*\(-\{13\}\|_\{13\}\)\r$/\1STAMP\2\r/' "$file"
}

mkdir -p "$work/linux/stick" "$work/windows/stick"
cp "$linux_cli" "$work/linux/stick/"
cp "$windows_cli" "$work/windows/stick/"
exe=$linux_cli steps linux / "" env
exe=$windows_cli steps windows '\' Z: wine

status=0
for file in "stick/Списки_отчеты/Список компьютеров.txt" "stick/Списки_отчеты/Список файлов на компьютере_Офисный_.txt" \
  "stick/Списки_отчеты/Список копий_Офисный_.txt" to-flash.txt "stick/Списки_отчеты/Отчет копирования_Офисный_.txt"; do
  if ! cmp -s <(normalised linux "" "$work/linux/$file") <(normalised windows Z: "$work/windows/$file"); then
    echo "differs: $file" >&2
    diff <(normalised linux "" "$work/linux/$file" | iconv -f CP1251 -t UTF-8) \
      <(normalised windows Z: "$work/windows/$file" | iconv -f CP1251 -t UTF-8) >&2 || true
    status=1
  fi
done
for side in linux windows; do
  cmp -s "$work/$side/pc/Дом/План.txt" <(printf 'home, changed\r\n') || { echo "$side: Дом/План.txt" >&2; status=1; }
  cmp -s "$work/$side/stick/Файлы с компьютера_Офисный/Дом_План.txt" <(printf 'home, changed\r\n') ||
    { echo "$side: the changed copy did not reach the stick" >&2; status=1; }
done
[ $status -eq 0 ] && echo "list and report files alike on Linux and under wine"
exit $status
