#!/usr/bin/env bash
# Exercises check_exports.sh. The export and import tables: objdump listings made from
# tessel2.def, which is written independently of glide2x.h; the true listing must pass
# (so header and .def agree), and each planted fault must fail with its own reason.
# The calling convention: small DLLs built with the 32-bit mingw-w64 toolchain, one
# from C as the compiler makes it and others from assembly with a wrong ret planted.
#
#   selftest.sh <repo root>
set -u
root=${1:?usage: selftest.sh <repo root>}
check=$root/tests/exports/check_exports.sh
header=$root/include/glide2x.h
def=$root/tessel2/tessel2.def
CC32=${CC32:-i686-w64-mingw32-gcc}
STRIP32=${STRIP32:-i686-w64-mingw32-strip}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
touch "$work/fake.dll"

# A fake objdump that prints $work/listing for -p and $work/disasm for -d.
cat >"$work/objdump" <<EOF
#!/bin/sh
case "\$1" in
-d) cat "$work/disasm" ;;
*) cat "$work/listing" ;;
esac
EOF
chmod +x "$work/objdump"

names_from_def() { sed -n 's/^ *\(_[A-Za-z0-9_]*@[0-9]*\) = .*/\1/p' "$def"; }

# listing <names file> <import dll>...: the tables, and a disassembly where every
# export is a function of its own that returns with the ret its name calls for.
listing() {
    local names=$1
    shift
    {
        echo "ImageBase		10000000"
        echo
        echo "The Import Tables (interpreted .idata section contents)"
        for d in "$@"; do printf '\tDLL Name: %s\n' "$d"; done
        echo
        echo "Export Address Table -- Ordinal Base 1"
        awk '{ printf "\t[%4d] +base[%4d] %x Export RVA\n", NR - 1, NR, 4096 + 16 * NR }' "$names"
        echo
        echo "[Ordinal/Name Pointer] Table"
        awk '{ printf "\t[%4d] %s\n", NR - 1, $0 }' "$names"
        echo
    } >"$work/listing"
    {
        echo "Disassembly of section .text:"
        awk '{
            n = $0; sub(/^.*@/, "", n)
            printf "\n%x <%s>:\n", 268439552 + 16 * NR, $0
            if (n + 0 == 0) printf "%8x:\tret    \n", 268439552 + 16 * NR
            else printf "%8x:\tret    $0x%x\n", 268439552 + 16 * NR, n
        }' "$names"
    } >"$work/disasm"
}

failures=0
passes=0
# expect <pass|fail> <description> <text the failure must mention>: checks the fake
# DLL, or $dll against $dll_header and $dll_count when $dll is set.
dll=""
expect() {
    local want=$1 what=$2 needle=${3:-}
    local out rc
    if [ -n "$dll" ]; then
        out=$("$check" "$dll" "$dll_header" "$dll_count" 2>&1)
    else
        out=$(OBJDUMP="$work/objdump" "$check" "$work/fake.dll" "$header" 124 2>&1)
    fi
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

listing "$work/good" KERNEL32.dll
if ! out=$(OBJDUMP="$work/objdump" "$check" "$work/fake.dll" "$header" 91 2>&1) &&
    grep -qF "declares 124 FX_CALL entry points, expected 91" <<<"$out"; then
    echo "ok: expected count other than the header's"
    passes=$((passes + 1))
else
    echo "FAIL: expected count other than the header's: $out"
    failures=$((failures + 1))
fi

# The calling convention, on DLLs of three entry points.
cat >"$work/tiny.h" <<'EOF'
FX_ENTRY void FX_CALL tinyNone(void);
FX_ENTRY int FX_CALL tinyPick(int which, int a, int b);
FX_ENTRY int FX_CALL tinyForward(int a,
                                 int b);
EOF
cat >"$work/tiny.def" <<'EOF'
EXPORTS
    _tinyNone@0 = tinyNone@0
    _tinyPick@12 = tinyPick@12
    _tinyForward@8 = tinyForward@8
EOF
dll_header=$work/tiny.h
dll_count=3

# From C, with the deliverables' code generation: a switch, several returns, a tail call.
cat >"$work/tiny.c" <<'EOF'
volatile int tinySink;
__attribute__((noinline)) static int __stdcall tinyHelper(int a, int b) { return tinySink = a * 3 + b; }
void __stdcall tinyNone(void) { tinySink = 0; }
int __stdcall tinyPick(int which, int a, int b) {
    switch (which) {
    case 0: return a;
    case 1: return b;
    case 2: return a + b;
    case 3: return a - b;
    case 4: return a * b;
    case 5: return tinySink;
    default: return tinyHelper(a, b);
    }
}
int __stdcall tinyForward(int a, int b) { return tinyHelper(b, a); }
EOF
# build <name> <source>: a DLL of the source with tiny.def.
build() {
    "$CC32" -O2 -msse2 -mfpmath=sse -mstackrealign -shared -o "$work/$1.dll" "$2" "$work/tiny.def" \
        >"$work/$1.log" 2>&1 || { echo "FAIL: cannot build $1.dll: $(head -5 "$work/$1.log")"; exit 1; }
    dll=$work/$1.dll
}
build compiled "$work/tiny.c"
expect pass "DLL compiled from C"

"$STRIP32" -o "$work/stripped.dll" "$work/compiled.dll"
dll=$work/stripped.dll
expect fail "stripped DLL" "stripped DLL cannot be checked"

# From assembly: NONE_RET, PICK_RET2 and HELPER_RET are replaced by each case's ret.
cat >"$work/tiny.s.in" <<'EOF'
	.text
	.globl	_tinyNone@0
_tinyNone@0:
	NONE_RET
	.globl	_tinyPick@12
_tinyPick@12:
	movl	4(%esp), %eax
	testl	%eax, %eax
	je	1f
	movl	8(%esp), %eax
	ret	$12
1:	movl	12(%esp), %eax
	PICK_RET2
	.globl	_tinyForward@8
_tinyForward@8:
	jmp	_tinyHelper@8
_tinyHelper@8:
	movl	8(%esp), %eax
	HELPER_RET
EOF
# assemble <name> <ret of tinyNone> <second ret of tinyPick> <ret of tinyHelper>
assemble() {
    sed -e "s/NONE_RET/$2/" -e "s/PICK_RET2/$3/" -e "s/HELPER_RET/$4/" "$work/tiny.s.in" >"$work/$1.s"
    build "$1" "$work/$1.s"
}
assemble right "ret" "ret \$12" "ret \$8"
expect pass "two rets and a tail call, all popping their bytes"
assemble none_pops "ret \$4" "ret \$12" "ret \$8"
expect fail "ret \$4 in a function of no arguments" "_tinyNone@0: "
assemble second_ret "ret" "ret \$8" "ret \$8"
expect fail "second ret pops 8 of 12 bytes" "_tinyPick@12: "
assemble tail_call "ret" "ret \$12" "ret"
expect fail "tail call into a function that leaves the arguments" "in <_tinyHelper@8> removes 0 bytes of arguments, not 8"

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
