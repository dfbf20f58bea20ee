# Quick start: `make demo` renders the built-in scene, `make test` runs every test.
BUILD := build
SANITIZE_BUILD := build-sanitize
TSAN_BUILD := build-tsan
FUZZ_BUILD := build-fuzz
# Seconds each fuzz target runs for in `make fuzz`.
FUZZ_SECONDS := 60
JOBS := -j2

.PHONY: all deps configure build test demo bench sanitize tsan fuzz clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release >/dev/null

build: configure
	@cmake --build $(BUILD) $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure $(JOBS)

demo: build
	@scripts/demo $(BUILD)

# The blur and whole-frame benchmarks, briefly: each for half a second. The
# frame benchmark ends with each render's time over the memory floor measured
# in the same run; NEREVO_BENCH_MODULE=path/to/NerevoTiltShift.so times
# another build's module on the same host and floor, for side-by-side figures.
bench: configure
	@cmake --build $(BUILD) $(JOBS) --target bench_blur bench_render
	@$(BUILD)/bench/bench_blur --benchmark_min_time=0.5
	@$(BUILD)/bench/bench_render --benchmark_min_time=0.5

# A Debian package (nerevo-tiltshift_*.deb in the build folder) for `apt install ./nerevo-tiltshift_*.deb`.
.PHONY: package
package: build
	@cd $(BUILD) && cpack

sanitize: deps
	@cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNEREVO_SANITIZE=ON >/dev/null
	@cmake --build $(SANITIZE_BUILD) $(JOBS)
	@echo "make sanitize: leaving out the tests labelled video (Debian's ffmpeg, melt and gst-launch-1.0 cannot load an instrumented module)"
	@cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure $(JOBS) -LE video

# The render threads and the host's iteration under ThreadSanitizer.
# OpenImageIO and OpenEXR are not built instrumented, so their threads'
# synchronisation is invisible: OpenImageIO decodes on the calling thread
# (else its workers' writes into a world look like races with the render
# that reads it), and what their own pools still report is suppressed. The
# tests labelled video run Debian's ffmpeg, melt and gst-launch-1.0, which
# cannot load an instrumented module.
tsan: deps
	@cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNEREVO_TSAN=ON >/dev/null
	@cmake --build $(TSAN_BUILD) $(JOBS)
	@echo "make tsan: leaving out the tests labelled video (Debian's ffmpeg, melt and gst-launch-1.0 cannot load an instrumented module)"
	@cd $(TSAN_BUILD) && OPENIMAGEIO_THREADS=1 \
		TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tests/tsan.supp" \
		ctest --output-on-failure $(JOBS) -LE video

# Each fuzz target for FUZZ_SECONDS from its seeds; what a run finds is
# kept in $(FUZZ_BUILD)/crashes and fails the run.
fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DNEREVO_FUZZ=ON >/dev/null
	@cmake --build $(FUZZ_BUILD) $(JOBS) --target fuzz_targets
	@fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
