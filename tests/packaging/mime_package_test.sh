#!/usr/bin/env bash
# The shared-mime-info package MIME_XML is read without complaint and gives
# *.ifs files the type that DESKTOP_ENTRY handles, a kind of text/plain.
set -euo pipefail
mime_xml=$1 desktop_entry=$2
type=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "$desktop_entry")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/mime/packages"
cp "$mime_xml" "$work/mime/packages/"
complaints=$(XDG_DATA_HOME=$work update-mime-database "$work/mime" 2>&1)
if [ -n "$complaints" ]; then
  echo "$complaints"
  exit 1
fi
grep -qxF "$type text/plain" "$work/mime/subclasses" || { echo "$type is no text/plain"; exit 1; }
grep -qF ":$type:*.ifs" "$work/mime/globs2" || { echo "*.ifs is not $type"; exit 1; }
