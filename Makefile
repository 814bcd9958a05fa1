# make run    install what is missing, build, start the program on its default data folder
# make check  install what is missing, build, run every test but the soak
# make package  the .deb of both programs (build/hourvane_*.deb)
# make check-sanitize  the same tests in a second build tree under ASan and UBSan
# make soak   eight copies of the program for a minute on one folder, in memory and on disk (ctest label soak)
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: setup build run check check-sanitize soak bench package clean

setup:
	bash scripts/setup-debian.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja -DHV_SQLITE_DIR="$$(bash scripts/setup-debian.sh --sqlite-dir)" -DHV_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/hourvane

check: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -LE soak

soak: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L soak

SANITIZE_BUILD ?= build-sanitize
check-sanitize: setup
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DHV_SQLITE_DIR="$$(bash scripts/setup-debian.sh --sqlite-dir)" \
	      -DHV_WERROR=ON -DHV_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) -LE soak

package: build
	cd $(BUILD) && cpack -G DEB

bench: build
	for b in $(BUILD)/bench/bench_*; do $$b; done

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD)
