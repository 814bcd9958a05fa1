# make run    install what is missing, build, start the program on its default data folder
# make check  install what is missing, build, run every test
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup build run check bench clean

setup:
	bash scripts/setup-debian.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja -DHV_SQLITE_DIR="$$(bash scripts/setup-debian.sh --sqlite-dir)" -DHV_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/hourvane

check: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	for b in $(BUILD)/bench/bench_*; do $$b; done

clean:
	rm -rf $(BUILD)
