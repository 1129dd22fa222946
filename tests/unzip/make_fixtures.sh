#!/bin/bash
# Makes the archives the unzip tests read, with the native Info-ZIP zip, from a tree
# written here. Names with byte 0xE9 etc. are raw Windows-1252 bytes, as a Linux tool that
# was handed such names stores them.
#   make_fixtures.sh OUTDIR
set -eu
out=$1
export LC_ALL=C
rm -rf "$out"
mkdir -p "$out/tree" "$out/many"
cd "$out/tree"

: > empty.txt
mkdir -p "nested/a/b/c" "empty folder" "with blanks" "$(printf 'na\xefve')"
printf 'deep\n' > nested/a/b/c/deep.txt
printf 'blanks\n' > "with blanks/file name with blanks.txt"
printf 'menu\n' > "$(printf 'Caf\xe9 Men\xfc.txt')"
printf 'euro\n' > "$(printf '\x80 price list.txt')"
printf 'resume\n' > "$(printf 'na\xefve/r\xe9sum\xe9.txt')"
seq 1 200000 > text.txt
head -c 300000 /dev/urandom > random.bin
printf 'timed\n' > timed.txt
touch -d '2001-02-03 04:05:06 UTC' timed.txt "empty folder"

zip -q -r ../tree.zip .
zip -q -r -0 ../stored.zip .
# Without extra fields the only time is the DOS one, in local time.
zip -q -r -X ../dostime.zip timed.txt

cd "$out/many"
for d in $(seq -w 0 99); do
  mkdir "d$d"
  for f in $(seq -w 0 99); do printf 'entry %s%s\n' "$d" "$f" > "d$d/f$d$f.txt"; done
done
zip -q -r ../many.zip .

# Read from a pipe, zip writes Zip64 records.
printf 'streamed\n' | zip -q "$out/stream64.zip" -
touch "$out/done.stamp"
