#!/usr/bin/env bash
# Runs a test program as an ordinary user (nobody), for the cases that refuse writing only to
# one. The program and the sanitizers' suppression files are copied to a folder that user can
# reach, since the build may lie in a folder only root may enter.
set -u
bin=$1
shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$bin" "$dir/"
for var in LSAN_OPTIONS UBSAN_OPTIONS; do
  value=${!var:-}
  supp=$(sed -n 's/.*suppressions=\([^:]*\).*/\1/p' <<< "$value")
  if [ -n "$supp" ] && [ -f "$supp" ]; then
    cp "$supp" "$dir/$var.supp"
    export "$var=${value/$supp/$dir/$var.supp}"
  fi
done
chmod -R a+rX "$dir"
cd "$dir"
setpriv --reuid=65534 --regid=65534 --clear-groups "$dir/$(basename "$bin")" "$@"
