#!/usr/bin/env bash
# Checks the export and import tables of a 32-bit Glide DLL.
#
#   check_exports.sh <dll> <header> <entry point count>
#
# Passes when the DLL exports exactly the entry points declared with FX_CALL in
# the header, each under its stdcall name _name@N with N = 4 x argument count, no
# other names, and imports only system DLLs. OBJDUMP may name another objdump.
set -u

OBJDUMP=${OBJDUMP:-i686-w64-mingw32-objdump}
ALLOWED_IMPORTS="ddraw.dll user32.dll gdi32.dll kernel32.dll advapi32.dll msvcrt.dll"

fail() {
    echo "check_exports: FAIL: $*" >&2
    exit 1
}

[ $# -eq 3 ] || fail "usage: check_exports.sh <dll> <header> <entry point count>"
dll=$1
header=$2
EXPECTED_COUNT=$3
[ -f "$dll" ] || fail "no DLL at $dll"
[ -f "$header" ] || fail "no header at $header"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Expected names from the header: every declaration starting with FX_ENTRY, joined
# up to its ';', gives the name after FX_CALL and its parameter list.
awk '
function count_args(list,    s, i, c, depth, n) {
    s = list
    gsub(/^[ \t]+|[ \t]+$/, "", s)
    if (s == "" || s == "void") return 0
    n = 1; depth = 0
    for (i = 1; i <= length(s); i++) {
        c = substr(s, i, 1)
        if (c == "(" || c == "[") depth++
        else if (c == ")" || c == "]") depth--
        else if (c == "," && depth == 0) n++
    }
    return n
}
function emit(decl,    at, rest, name, open, cl, args) {
    at = index(decl, "FX_CALL")
    if (at == 0) { print "BAD " decl; return }
    rest = substr(decl, at + 7)
    open = index(rest, "(")
    name = substr(rest, 1, open - 1)
    gsub(/[ \t*]/, "", name)
    cl = length(rest)
    while (cl > open && substr(rest, cl, 1) != ")") cl--
    args = substr(rest, open + 1, cl - open - 1)
    printf "_%s@%d\n", name, 4 * count_args(args)
}
/^FX_ENTRY/ { collecting = 1; decl = "" }
collecting {
    decl = decl " " $0
    if (index($0, ";") > 0) { collecting = 0; emit(decl) }
}
' "$header" | sort >"$work/expected"

if grep -q '^BAD ' "$work/expected"; then
    fail "cannot read a declaration in $header: $(grep '^BAD ' "$work/expected" | head -1)"
fi
n_expected=$(wc -l <"$work/expected")
[ "$n_expected" -eq "$EXPECTED_COUNT" ] ||
    fail "$header declares $n_expected FX_CALL entry points, expected $EXPECTED_COUNT"

"$OBJDUMP" -p "$dll" >"$work/dump" 2>"$work/dump.err" ||
    fail "$OBJDUMP -p $dll failed: $(head -3 "$work/dump.err")"

# Export names: the lines "[ i] name" (or "[ i] +base[ j] hint name") under the
# "[Ordinal/Name Pointer] Table" heading, up to the next blank line.
awk '
/^\[Ordinal\/Name Pointer\] Table/ { in_table = 1; next }
in_table && /^[ \t]*$/ { in_table = 0 }
in_table && /^[ \t]*\[ *[0-9]+\]/ { print $NF }
' "$work/dump" >"$work/actual.raw"
sort "$work/actual.raw" >"$work/actual"

n_actual=$(wc -l <"$work/actual")
[ "$n_actual" -gt 0 ] || fail "$dll has no export name table"

dups=$(uniq -d "$work/actual")
[ -z "$dups" ] || fail "$dll exports these names more than once: $(echo $dups)"

bad_form=$(grep -Ev '^_[A-Za-z_][A-Za-z0-9_]*@[0-9]+$' "$work/actual" || true)
[ -z "$bad_form" ] || fail "exports not of the form _name@N: $(echo $bad_form)"

missing=$(comm -23 "$work/expected" "$work/actual")
extra=$(comm -13 "$work/expected" "$work/actual")
if [ -n "$missing" ] || [ -n "$extra" ]; then
    # Tell a wrong @N apart from a name that is absent altogether.
    for m in $missing; do
        base=${m%@*}
        got=$(grep -E "^${base}@[0-9]+\$" "$work/actual" || true)
        if [ -n "$got" ]; then
            echo "check_exports: $got should be $m (4 bytes per argument)" >&2
        else
            echo "check_exports: missing export $m" >&2
        fi
    done
    for e in $extra; do
        base=${e%@*}
        grep -qE "^${base}@[0-9]+\$" "$work/expected" ||
            echo "check_exports: unexpected export $e (not declared in $(basename "$header"))" >&2
    done
    fail "export table of $dll does not match $header"
fi
[ "$n_actual" -eq "$EXPECTED_COUNT" ] || fail "$dll exports $n_actual names, expected $EXPECTED_COUNT"

# Imports: every "DLL Name:" line must be an allowed system DLL.
grep -E '^[[:space:]]*DLL Name:' "$work/dump" | sed 's/.*DLL Name:[[:space:]]*//' |
    tr 'A-Z' 'a-z' | tr -d '\r' | sort -u >"$work/imports"
[ -s "$work/imports" ] || fail "$dll has no import table"
bad_imports=""
while read -r imp; do
    case " $ALLOWED_IMPORTS " in
    *" $imp "*) ;;
    *) bad_imports="$bad_imports $imp" ;;
    esac
done <"$work/imports"
[ -z "$bad_imports" ] ||
    fail "$dll imports non-system DLLs:$bad_imports (allowed: $ALLOWED_IMPORTS; link the runtime statically)"

echo "check_exports: OK: $n_actual exports match $(basename "$header"); imports: $(tr '\n' ' ' <"$work/imports")"
exit 0
