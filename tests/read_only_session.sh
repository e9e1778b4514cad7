#!/usr/bin/env bash
# A whole regdisc-cli session on a sample disc (the disc information, every data set's
# query --all, both listings), each command under strace -f: no file is opened for writing,
# nothing is created, removed, renamed, truncated or changed in its attributes, and every
# byte of the disc is the same afterwards.
#
#   read_only_session.sh REGDISC_CLI
set -euo pipefail
cli=$1
command -v strace >/dev/null || { echo "strace is missing (scripts/install-deps.sh installs it)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
disc=$work/disc
"$cli" sample "$disc" --records 300 >/dev/null 2>&1

fingerprint() { (cd "$disc" && find . -printf '%p %s %m %T@\n' | sort && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
fingerprint >"$work/before"

commands=("info $disc")
for dataset in psm pid pla psl psr pco pru tru lmk rae pel drf cpm rsa; do
  commands+=("query $disc $dataset --all")
done
commands+=("listing $disc ptr" "listing $disc lnx")

# Every call that names a path, and those that change a file through a descriptor.
calls=%file,ftruncate,fallocate,fchmod,fchown,fsetxattr,fremovexattr
failed=0
n=0
for c in "${commands[@]}"; do
  n=$((n + 1))
  # shellcheck disable=SC2086  # the command's words
  strace -f -qq -o "$work/trace.$n" -e trace="$calls" "$cli" $c >"$work/out.$n" 2>"$work/err.$n" || {
    echo "FAILED: regdisc-cli $c (status $?)" >&2
    cat "$work/err.$n" >&2
    failed=1
  }
  [ -s "$work/out.$n" ] || { echo "no output: regdisc-cli $c" >&2; failed=1; }
  writes=$(grep -E '(open|openat|openat2)\(.*(O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND)' "$work/trace.$n" || true)
  changes=$(grep -E '^[0-9]+ +(creat|truncate|ftruncate|fallocate|rename|renameat2?|unlink|unlinkat|mkdir|mkdirat|rmdir|link|linkat|symlink|symlinkat|mknod|mknodat|chmod|fchmod|fchmodat|chown|fchown|lchown|fchownat|utime|utimes|utimensat|futimesat|setxattr|lsetxattr|fsetxattr|removexattr|lremovexattr|fremovexattr)\(' "$work/trace.$n" || true)
  if [ -n "$writes$changes" ]; then
    echo "regdisc-cli $c writes:" >&2
    printf '%s\n%s\n' "$writes" "$changes" >&2
    failed=1
  fi
  opens=$(grep -cE '(open|openat|openat2)\(' "$work/trace.$n" || true)
  [ "$opens" -gt 0 ] || { echo "strace saw no opening: regdisc-cli $c" >&2; failed=1; }
done

fingerprint >"$work/after"
if ! diff -u "$work/before" "$work/after" >&2; then
  echo "the disc changed" >&2
  failed=1
fi
[ "$failed" -eq 0 ] && echo "read-only: ${#commands[@]} commands, nothing opened for writing, disc unchanged"
exit "$failed"
