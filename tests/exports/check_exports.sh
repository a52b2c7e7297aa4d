#!/usr/bin/env bash
# Checks the export and import tables of a 32-bit Glide library, and how its entry
# points return.
#
#   check_exports.sh <dll> <header> <expected count>
#
# Passes when the DLL exports exactly the entry points declared with FX_CALL in the
# header, <expected count> of them, each under its stdcall name _name@N with
# N = 4 x argument count, no other names; imports only system DLLs; and every entry
# point removes exactly its N bytes of arguments: each ret in the function's code pops
# N (plain ret when N is 0). The function's code runs from its address to the next
# symbol of the DLL's symbol table, and takes in the code that it jumps to outside that
# range (tail calls, split-off parts) or falls through into. OBJDUMP may name another
# objdump.
set -u

OBJDUMP=${OBJDUMP:-i686-w64-mingw32-objdump}
ALLOWED_IMPORTS="ddraw.dll user32.dll gdi32.dll kernel32.dll advapi32.dll winmm.dll msvcrt.dll"

fail() {
    echo "check_exports: FAIL: $*" >&2
    exit 1
}

[ $# -eq 3 ] || fail "usage: check_exports.sh <dll> <header> <expected count>"
dll=$1
header=$2
EXPECTED_COUNT=$3
case $EXPECTED_COUNT in
'' | *[!0-9]*) fail "expected count '$EXPECTED_COUNT' is not a number" ;;
esac
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

# Calling convention: the address of each export, from the export address table
# ("[ i] +base[ j] rva Export RVA") and the name table's index into it.
image_base=$(awk '$1 == "ImageBase" { print $2; exit }' "$work/dump")
[ -n "$image_base" ] || fail "$OBJDUMP -p $dll shows no ImageBase"
awk '
/^Export Address Table -- / { in_eat = 1; next }
in_eat && /^[ \t]*$/ { in_eat = 0 }
in_eat && /Export RVA$/ { i = $0; sub(/^[^[]*\[ */, "", i); sub(/\].*/, "", i); print "rva", i, $(NF - 2) }
/^\[Ordinal\/Name Pointer\] Table/ { in_names = 1; next }
in_names && /^[ \t]*$/ { in_names = 0 }
in_names && /^[ \t]*\[ *[0-9]+\]/ { i = $0; sub(/^[^[]*\[ */, "", i); sub(/\].*/, "", i); print "name", i, $NF }
' "$work/dump" | awk '
$1 == "rva" { rva[$2] = $3 }
$1 == "name" { name[$2] = $3 }
END { for (i in name) print name[i], (i in rva) ? rva[i] : "none" }
' >"$work/export_rvas"
no_rva=$(awk '$2 == "none" { print $1 }' "$work/export_rvas")
[ -z "$no_rva" ] || fail "no address in the export address table for: $(tr '\n' ' ' <<<"$no_rva")"

"$OBJDUMP" -d --no-show-raw-insn "$dll" >"$work/disasm" 2>"$work/disasm.err" ||
    fail "$OBJDUMP -d $dll failed: $(head -3 "$work/disasm.err")"

awk -v base="$image_base" '
function hex(s,    i, n, c) {
    s = tolower(s)
    sub(/^0x/, "", s)
    n = 0
    for (i = 1; i <= length(s); i++) {
        c = index("0123456789abcdef", substr(s, i, 1))
        if (c == 0) return -1
        n = n * 16 + c - 1
    }
    return n
}
function is_padding(mn, op) {
    return mn ~ /^nop[wl]?$/ || mn == "int3" || (mn == "xchg" && op == "%ax,%ax") ||
           (mn == "lea" && op ~ /^0x0\(%e[sd]i(,%eiz,1)?\),%e[sd]i$/) ||
           (mn == "mov" && (op == "%esi,%esi" || op == "%edi,%edi"))
}
# Control does not go on to the next instruction (a call that ends a function is a
# call that does not return).
function ends_flow(mn) { return mn ~ /^(ret[lw]?|jmp[lw]?|ud2|hlt|call[lw]?)$/ }
function problem(msg) { problems[++n_problems] = msg }

FNR == NR { export_addr[$1] = hex(base) + hex($2); next }
/^Disassembly of section / { section++; next }
/^[0-9a-f]+ <.*>:$/ {
    addr = hex($1)
    label = $0
    sub(/^[0-9a-f]+ </, "", label)
    sub(/>:$/, "", label)
    n_sym++
    sym_addr[n_sym] = addr
    sym_name[n_sym] = label
    sym_section[n_sym] = section
    sym_first[n_sym] = n_ins + 1
    sym_last[n_sym] = n_ins
    sym_at[addr] = n_sym
    next
}
/^ *[0-9a-f]+:\t/ && n_sym > 0 && sym_section[n_sym] == section {
    split($0, part, "\t")
    here = part[1]
    gsub(/[ :]/, "", here)
    text = part[2]
    sub(/^[ \t]+/, "", text)
    # Prefixes: rep before ret, segment and size prefixes of padding.
    while (text ~ /^(repz|repnz|rep|bnd|notrack|data16|cs|ds|lock) /) sub(/^[a-z0-9]+ +/, "", text)
    mn = text
    sub(/ .*/, "", mn)
    op = text
    if (op ~ / /) { sub(/^[^ ]+ +/, "", op); sub(/[ \t]+$/, "", op) } else op = ""
    n_ins++
    ins_addr[n_ins] = hex(here)
    ins_text[n_ins] = here ": " text
    ins_mn[n_ins] = mn
    ins_op[n_ins] = op
    ins_sym[n_ins] = n_sym
    ins_at[ins_addr[n_ins]] = n_ins
    sym_last[n_sym] = n_ins
}
END {
    for (name in export_addr) {
        pops = name
        sub(/^.*@/, "", pops)
        pops += 0
        a = export_addr[name]
        if (!(a in sym_at)) {
            problem(name ": no function of the symbol table starts at its address (a stripped DLL cannot be checked)")
            continue
        }
        for (i in seen) delete seen[i]
        queue_len = 1
        queue[1] = sym_first[sym_at[a]]
        rets = 0
        escapes = 0
        for (q = 1; q <= queue_len; q++) {
            start = queue[q]
            if (start in seen) continue
            seen[start] = 1
            k = ins_sym[start]
            for (i = start; i <= sym_last[k]; i++) {
                mn = ins_mn[i]
                op = ins_op[i]
                if (mn ~ /^ret[lw]?$/) {
                    rets++
                    got = op == "" ? 0 : (op ~ /^\$0x[0-9a-f]+$/ ? hex(substr(op, 2)) : -1)
                    if (got != pops)
                        problem(name ": " ins_text[i] " in <" sym_name[k] "> removes " (got < 0 ? "?" : got) \
                                " bytes of arguments, not " pops)
                } else if (mn ~ /^(j[a-z]+|loop[a-z]*)$/) {
                    if (op ~ /^\*/) {
                        escapes++ # through a table inside the function, or a tail call through a pointer
                        continue
                    }
                    target = op
                    sub(/ .*/, "", target)
                    t = hex(target)
                    if (!(t in ins_at)) {
                        problem(name ": " ins_text[i] " in <" sym_name[k] "> jumps where no instruction starts")
                    } else if (ins_sym[ins_at[t]] != k) {
                        queue[++queue_len] = ins_at[t]
                    }
                }
            }
            # Code that runs off the end of its range goes on into the next symbol.
            last = sym_last[k]
            while (last > start && is_padding(ins_mn[last], ins_op[last])) last--
            if (!ends_flow(ins_mn[last])) {
                if (k < n_sym && sym_section[k + 1] == sym_section[k] && sym_first[k + 1] <= sym_last[k + 1])
                    queue[++queue_len] = sym_first[k + 1]
                else
                    problem(name ": <" sym_name[k] "> runs off the end of its section")
            }
        }
        if (rets == 0 && escapes == 0) problem(name ": no ret found in its code")
    }
    for (i = 1; i <= n_problems; i++) print problems[i]
}
' "$work/export_rvas" "$work/disasm" | sort >"$work/convention"
if [ -s "$work/convention" ]; then
    sed 's/^/check_exports: /' "$work/convention" | head -20 >&2
    fail "$(cut -d: -f1 "$work/convention" | sort -u | wc -l) entry points of $dll fail the calling convention check (each returns with ret \$N)"
fi

echo "check_exports: OK: $n_actual exports match $(basename "$header"), each returns with ret \$N;" \
    "imports: $(tr '\n' ' ' <"$work/imports")"
exit 0
