# A thin front over CMake. `make run` and `make test` work on a fresh Debian 12
# machine: both install what is missing first.
BUILD   ?= build
JOBS    ?= $(shell nproc)
PROJECT ?= examples/plant
OUTPUT  ?= $(BUILD)/out

.PHONY: all setup configure build run test sanitize-build fuzz bench translations clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

BROKEN  ?= examples/broken

# The stand-in host on the example project, then the tool: a check of the
# example and of its deliberately broken copy (whose problems are the point,
# so its exit code 1 is expected), a cross-reference of the example's tags,
# the differences of the two (exit code 1 again), a picture of every page, and
# the report of the example, whose last line says where to open it.
run: build
	$(BUILD)/bin/zadururu-host $(PROJECT) $(OUTPUT)
	@echo
	$(BUILD)/bin/zadururu check $(PROJECT)
	@echo
	$(BUILD)/bin/zadururu check $(BROKEN); test $$? -eq 1
	@echo
	$(BUILD)/bin/zadururu xref $(PROJECT)
	@echo
	$(BUILD)/bin/zadururu diff $(PROJECT) $(BROKEN); test $$? -eq 1
	@echo
	@mkdir -p $(OUTPUT)/png
	@for page in $(PROJECT)/pages/*.xml; do \
	    name=$(OUTPUT)/png/$$(basename "$$page" .xml); \
	    $(BUILD)/bin/zadururu render "$$page" -o $$name.png --svg $$name.svg || exit 1; \
	done
	@echo "Pictures of the pages: $(OUTPUT)/png/"
	@echo
	$(BUILD)/bin/zadururu report $(PROJECT) -o $(OUTPUT)/report

# The tests, then the same tests again in a clang build with AddressSanitizer,
# LeakSanitizer and UndefinedBehaviorSanitizer, where any report fails.
test: build sanitize-build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(SANITIZE_BUILD) && ctest --output-on-failure -j $(JOBS)

# One clang build serves the sanitizer run of the tests and the fuzz targets.
SANITIZE_BUILD ?= build-sanitize
sanitize-build: setup
	CC=clang CXX=clang++ cmake -S . -B $(SANITIZE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DZADURURU_FUZZ=ON -DZADURURU_BUILD_BENCHMARKS=OFF
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)

# Every fuzz target for FUZZ_SECONDS each; FUZZ_TARGETS picks some of them.
FUZZ_SECONDS ?= 60
FUZZ_TARGETS ?=
fuzz: sanitize-build
	fuzz/run.sh $(SANITIZE_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

# Speed and memory figures of the loads, saves and lookups, with the goals
# they are held to. BENCH_ARGS=--quick for small sizes, --json FILE to keep
# the figures for a comparison between commits.
BENCH_ARGS ?=
bench: build
	$(BUILD)/bin/zadururu-bench $(BENCH_ARGS)

# Regenerates the translation source of the user-visible texts.
translations: setup
	QT_SELECT=qt5 lupdate -no-obsolete src/plugins/zadururu -ts translations/zadururu_en.ts

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
