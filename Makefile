# Quick start: `make demo` renders the built-in scene, `make test` runs every test.
BUILD := build
SANITIZE_BUILD := build-sanitize
JOBS := -j2

.PHONY: all deps configure build test demo bench sanitize clean

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
	@cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure $(JOBS)

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
