# A thin front over CMake. `make run` and `make test` work on a fresh Debian 12
# machine: both install what is missing first.
BUILD   ?= build
JOBS    ?= $(shell nproc)
PROJECT ?= examples/plant
OUTPUT  ?= $(BUILD)/out

.PHONY: all setup configure build run test translations clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/zadururu-host $(PROJECT) $(OUTPUT)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Regenerates the translation source of the user-visible texts.
translations: setup
	QT_SELECT=qt5 lupdate -no-obsolete src/plugins/zadururu -ts translations/zadururu_en.ts

clean:
	rm -rf $(BUILD)
