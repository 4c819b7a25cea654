# The two set-up commands: `make run` builds and starts the program,
# `make test` builds and runs every test (normal build, sanitizer build,
# end-to-end tests). Both install missing Debian packages first.
# `make run` builds the program alone; each test stage builds the CMake
# target `tests` (test programs, end-to-end helper, program) of its build.
.PHONY: deps configure build build-tests build-asan run test unit-test asan-test e2e-test bench install package format clean

CMAKE_FLAGS ?= -G Ninja
PREFIX ?= /usr/local
ASAN_ENV = ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B build $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build build --target tarn-commander

build-tests: configure
	@cmake --build build --target tests

build-asan: deps
	@cmake -S . -B build-asan $(CMAKE_FLAGS) -DTC_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
	@cmake --build build-asan --target tests

run: build
	@mkdir -p run
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "Kein Bildschirm: DISPLAY und WAYLAND_DISPLAY sind leer. Tarn Commander braucht eine grafische Sitzung (oder Xvfb)."; \
	  exit 1; fi
	@cd run && ../build/tarn-commander

# A failing stage ends with the names of the failed tests, so that the
# last lines of a long log say what failed.
FAILED_NAMES = { grep -h '^\[  FAILED  \]' Testing/Temporary/LastTest.log | sort -u; exit 1; }

unit-test: build-tests
	@cd build && ctest --output-on-failure || $(FAILED_NAMES)

asan-test: build-asan
	@cd build-asan && $(ASAN_ENV) ctest --output-on-failure || $(FAILED_NAMES)

e2e-test: build-tests
	@bash e2e/run_all.sh build/tarn-commander

test: unit-test asan-test e2e-test
	@echo "make test: all test stages passed"

bench: deps
	@cmake -S . -B build-bench $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build build-bench --target benchmarks
	@bash bench/run_all.sh build-bench

# Installs the program, its desktop entry and icons under PREFIX.
install: build
	@cmake --install build --prefix $(PREFIX)

# Builds the Debian package build/tarn-commander_*.deb.
package: build
	@cd build && cpack -G DEB >/dev/null && ls tarn-commander_*.deb

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-bench
