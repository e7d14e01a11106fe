#!/usr/bin/env bash
# Builds build/dist/Kestrel-<version>-setup.exe (NSIS) and build/dist/Kestrel-<version>-portable.zip
# from the Windows build in build/win; the files are those of resources/package/contents.txt,
# the version that of project(... VERSION ...) in CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
version=$(sed -n 's/^project(Kestrel VERSION \([0-9][0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "$0: no version in CMakeLists.txt" >&2; exit 1; }
bin=build/win/bin
[ -x "$bin/Kestrel4.exe" ] || { echo "$0: build the Windows programs first (scripts/build.sh)" >&2; exit 1; }
dist=build/dist
stage=$dist/stage
rm -rf "$stage"
mkdir -p "$stage"
files=$dist/files.nsh
unfiles=$dist/unfiles.nsh
: > "$files"
: > "$unfiles"
while read -r kind path; do
  case $kind in '' | '#'*) continue ;; esac
  [ -f "$bin/$path" ] || { echo "$0: $bin/$path is missing" >&2; exit 1; }
  mkdir -p "$stage/$(dirname "$path")"
  cp "$bin/$path" "$stage/$path"
  win=${path//\//\\}
  case $kind in
    program) echo "SetOverwrite on" >> "$files"; echo "Delete \"\$INSTDIR\\$win\"" >> "$unfiles" ;;
    starter) echo "SetOverwrite off" >> "$files" ;;
    *) echo "$0: unknown kind $kind of $path" >&2; exit 1 ;;
  esac
  folder=$(dirname "$path")
  [ "$folder" == . ] && folder= || folder="\\${folder//\//\\}"
  echo "SetOutPath \"\$INSTDIR$folder\"" >> "$files"
  echo "File \"$repo/$stage/$path\"" >> "$files"
done < resources/package/contents.txt
echo "SetOutPath \"\$INSTDIR\"" >> "$files"

setup=$dist/Kestrel-$version-setup.exe
makensis -V2 -DVERSION="$version" -DOUTFILE="$repo/$setup" -DFILES="$repo/$files" -DUNFILES="$repo/$unfiles" \
  -DICON="$repo/resources/kestrel4/kestrel.ico" resources/package/kestrel.nsi
zip_file=$dist/Kestrel-$version-portable.zip
rm -f "$zip_file"
(cd "$stage" && zip -qr "$repo/$zip_file" .)
echo "$setup"
echo "$zip_file"
