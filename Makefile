# Kestrix: the two set-up commands are `make demo` and `make test`; both install what they need first.
.PHONY: all deps host host-asan host32 win32 win64 test test-host test-asan test-host32 test-win32 test-win64 test-fuzz fuzz traces demo dist format clean kelpo-fps bench-wine

all: win32

deps:
	@bash tools/install-deps.sh

host: deps
	cmake --preset host >/dev/null
	cmake --build --preset host

host-asan: deps
	cmake --preset host-asan >/dev/null
	cmake --build --preset host-asan

# The host suite as 32-bit programs with the deliverables' code generation, run under qemu-i386.
host32: deps
	cmake --preset host32 >/dev/null
	cmake --build --preset host32

win32: deps
	cmake --preset win32 >/dev/null
	cmake --build --preset win32

win64: deps host
	cmake --preset win64 >/dev/null
	cmake --build --preset win64

test-host: host
	ctest --preset host

test-asan: host-asan
	ctest --preset host-asan

test-host32: host32
	ctest --preset host32

test-win32: win32
	ctest --preset win32

test-win64: win64
	KESTRIX_REQUIRE_WINE=1 ctest --preset win64

test-fuzz: deps
	bash fuzz/run_tdf_fuzz.sh build/fuzz 60
	bash fuzz/run_trace_fuzz.sh build/fuzz 30
	bash fuzz/run_glide2_fuzz.sh build/fuzz 120
	bash fuzz/run_glide3_fuzz.sh build/fuzz 120

# The long run: ten million call sequences of each Glide version, or the first fault.
fuzz: deps
	bash fuzz/run_glide2_fuzz.sh build/fuzz 0 -jobs=2 -workers=2 -reload=300 -runs=5000000
	bash fuzz/run_glide3_fuzz.sh build/fuzz 0 -jobs=2 -workers=2 -reload=300 -runs=5000000

# Frames per second of Kelpo's 43,008-triangle model on tessel3 under Wine (printed, not asserted).
kelpo-fps: win64
	KESTRIX_REQUIRE_WINE=1 ctest --preset win64 -R wine_kelpo_high_polycount_model -V | grep -E "frames per second|Passed|Failed"

# Milliseconds per frame of one-call-per-triangle, fan and vertex-array drawing in both libraries against
# Direct3D 7 itself, under Wine (printed, not asserted).
bench-wine: win64
	cmake --build --preset win64 --target bench_wine

# Records the traces kept in tests/traces again and notes their replay digests (after a change meant to
# alter them).
traces: deps
	bash tools/record_kept_traces.sh build/host

test: test-fuzz test-host test-host32 test-asan test-win32 test-win64

demo: win64
	bash tools/run_demo.sh build/win64 out

dist: win32
	rm -rf dist && mkdir -p dist
	cp build/win32/tessel2.dll dist/glide2x.dll
	cp build/win32/tessel3.dll dist/glide3x.dll
	cp build/win32/kestrixcfg/kestrixcfg.exe dist/kestrixcfg.exe
	cp docs/USER-README.txt dist/README.txt

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build out dist
