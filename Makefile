# Tolvex Video Converter: build, run and test on Debian 12.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
TOLVEX_WERROR ?= OFF
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVEX_WERROR=$(TOLVEX_WERROR)
XVFB := $(if $(DISPLAY),,xvfb-run -a -s "-screen 0 1920x1080x24")
CTEST_FLAGS ?= --output-on-failure -j2

.PHONY: deps build run test test-quick test-asan test-tsan bench fuzz install package translations clean format lint \
	screenshots

deps:
	@./scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	QT_QPA_PLATFORM=$${QT_QPA_PLATFORM:-xcb} $(BUILD_DIR)/bin/tolvex-video-converter

# Every test; tests that need a display run under Xvfb when there is none.
test: build
	cd $(BUILD_DIR) && $(XVFB) ctest $(CTEST_FLAGS)

# Everything but the slow format matrix.
test-quick: build
	cd $(BUILD_DIR) && $(XVFB) ctest $(CTEST_FLAGS) -LE slow

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer; leaks inside the
# system libraries (X, fontconfig, SDL, Qt's plugins) are suppressed by tests/lsan.supp.
test-asan: deps
	@cmake -S . -B build-asan $(CMAKE_FLAGS) -DTOLVEX_SANITIZE=address >/dev/null
	@cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		$(XVFB) ctest $(CTEST_FLAGS) -LE player
	# The player's picture tests load Mesa's software GL driver, which SDL unloads before
	# the leak check runs, so its allocations cannot be named in a suppression: memory
	# errors are still caught there, leaks are not checked.
	cd build-asan && ASAN_OPTIONS=detect_leaks=0 \
		UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
		$(XVFB) ctest $(CTEST_FLAGS) -L player

test-tsan: deps
	@cmake -S . -B build-tsan $(CMAKE_FLAGS) -DTOLVEX_SANITIZE=thread >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1 $(XVFB) ctest $(CTEST_FLAGS) -L engine

# The parsers' libFuzzer targets, built with clang into build-fuzz, each run for FUZZ_SECONDS
# on its corpus in fuzz/corpus/<name> (new finds are kept in build-fuzz/corpus).
FUZZ_SECONDS ?= 60
fuzz:
	@./scripts/install-deps fuzz
	@cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
		-DCMAKE_CXX_COMPILER=clang++ -DTOLVEX_FUZZ=ON >/dev/null
	@cmake --build build-fuzz -j $(JOBS) --target tolvex_fuzzers
	@for f in build-fuzz/fuzz/fuzz-*; do \
		name=$${f##*/fuzz-}; mkdir -p build-fuzz/corpus/$$name; \
		echo "== $$f ($(FUZZ_SECONDS) s)"; \
		$$f -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 -artifact_prefix=build-fuzz/$$name- build-fuzz/corpus/$$name fuzz/corpus/$$name || exit 1; \
	done

bench: build
	@for b in $(BUILD_DIR)/bin/bench-*; do echo "== $$b"; $(XVFB) $$b || exit 1; done
	@echo "== $(BUILD_DIR)/bin/bench-add-media 1000 --window-only"
	@$(XVFB) $(BUILD_DIR)/bin/bench-add-media 1000 --window-only

install: build
	cmake --install $(BUILD_DIR)

# The README's pictures in docs/, taken under Xvfb on the xcb platform: the window at work
# (tolvex-screenshots) and the online services' dialogs (their window test keeps them).
SHOTS_XVFB := xvfb-run -a -s "-screen 0 1920x1080x24"
screenshots: build
	TOLVEX_SCREENSHOT_DIR=$(CURDIR)/docs QT_QPA_PLATFORM=xcb $(SHOTS_XVFB) $(BUILD_DIR)/bin/tolvex-screenshots
	TOLVEX_SCREENSHOT_DIR=$(CURDIR)/docs QT_QPA_PLATFORM=xcb $(SHOTS_XVFB) $(BUILD_DIR)/tests/test_net_window

# A Debian package of the installed layout, in $(BUILD_DIR): tolvex-video-converter_<version>_<arch>.deb
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# Refreshes translations/*.ts from the texts of the code and the skins (new texts come in
# unfinished); the next build turns them into the .qm files the program loads.
translations:
	@./scripts/update-translations

# Rewrites every C++ file to the house layout (.clang-format).
format: deps
	@./scripts/lint --fix

# Layout of every file, clang-tidy on the files changed since main (LINT_ALL=1: on all files).
lint: build
	@./scripts/lint --build-dir $(BUILD_DIR) $(if $(LINT_ALL),--all,)

clean:
	rm -rf $(BUILD_DIR) build-asan build-tsan build-fuzz
