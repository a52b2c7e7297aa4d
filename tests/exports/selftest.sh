#!/usr/bin/env bash
# Exercises check_exports.sh against objdump listings made from tessel2.def, which is
# written independently of glide2x.h: the true listing must pass (so header and .def
# agree), and each planted fault must fail with its own reason.
#
#   selftest.sh <repo root>
set -u
root=${1:?usage: selftest.sh <repo root>}
check=$root/tests/exports/check_exports.sh
header=$root/include/glide2x.h
def=$root/tessel2/tessel2.def

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/fake.dll"

# A fake objdump that prints $work/listing whatever it is asked.
cat >"$work/objdump" <<EOF
#!/bin/sh
cat "$work/listing"
EOF
chmod +x "$work/objdump"

names_from_def() { sed -n 's/^ *\(_[A-Za-z0-9_]*@[0-9]*\) = .*/\1/p' "$def"; }

# listing <names file> <import dll>...
listing() {
    local names=$1
    shift
    {
        echo "The Import Tables (interpreted .idata section contents)"
        for d in "$@"; do printf '\tDLL Name: %s\n' "$d"; done
        echo
        echo "[Ordinal/Name Pointer] Table"
        awk '{ printf "\t[%4d] %s\n", NR - 1, $0 }' "$names"
        echo
    } >"$work/listing"
}

failures=0
passes=0
# expect <pass|fail> <description> <text the failure must mention>
expect() {
    local want=$1 what=$2 needle=${3:-}
    local out rc
    out=$(OBJDUMP="$work/objdump" "$check" "$work/fake.dll" "$header" 124 2>&1)
    rc=$?
    if [ "$want" = pass ] && [ $rc -ne 0 ]; then
        echo "FAIL: $what: checker rejected a good table: $out"
        failures=$((failures + 1))
    elif [ "$want" = fail ] && [ $rc -eq 0 ]; then
        echo "FAIL: $what: checker accepted it: $out"
        failures=$((failures + 1))
    elif [ "$want" = fail ] && ! grep -qF -- "$needle" <<<"$out"; then
        echo "FAIL: $what: reason does not mention '$needle': $out"
        failures=$((failures + 1))
    else
        echo "ok: $what"
        passes=$((passes + 1))
    fi
}

names_from_def >"$work/good"
[ "$(wc -l <"$work/good")" -eq 124 ] || echo "note: tessel2.def lists $(wc -l <"$work/good") names"

listing "$work/good" KERNEL32.dll msvcrt.dll DDRAW.dll USER32.dll GDI32.dll ADVAPI32.dll
expect pass "names of tessel2.def with system imports"

sed 's/^_grBufferClear@12$/_grBufferClear@8/' "$work/good" >"$work/n"
listing "$work/n" KERNEL32.dll
expect fail "wrong byte count" "_grBufferClear@8 should be _grBufferClear@12"

grep -v '^_grSplash@' "$work/good" >"$work/n"
listing "$work/n" KERNEL32.dll
expect fail "missing entry point" "missing export _grSplash@20"

{
    cat "$work/good"
    echo "_grExtraThing@4"
} >"$work/n"
listing "$work/n" KERNEL32.dll
expect fail "extra entry point" "unexpected export _grExtraThing@4"

sed 's/^_grGlideInit@0$/grGlideInit/' "$work/good" >"$work/n"
listing "$work/n" KERNEL32.dll
expect fail "undecorated name" "not of the form _name@N"

{
    cat "$work/good"
    echo "_grGlideInit@0"
} >"$work/n"
listing "$work/n" KERNEL32.dll
expect fail "duplicate name" "more than once"

listing "$work/good" KERNEL32.dll libgcc_s_dw2-1.dll
expect fail "libgcc import" "libgcc_s_dw2-1.dll"

listing "$work/good" KERNEL32.dll libstdc++-6.dll libwinpthread-1.dll
expect fail "libstdc++ and winpthread imports" "libstdc++-6.dll libwinpthread-1.dll"

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
