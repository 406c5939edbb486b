# Developer entry points. `make run` builds kelpo.exe and starts it under Wine;
# `make test` runs every test stage. Both install missing Debian packages first.

JOBS ?= 2
CMAKE_ARGS ?=
BENCH_ARGS ?=
export JOBS CMAKE_ARGS

# The builds run their own make; this make's flags and level are not theirs.
CMAKE_BUILD := env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL cmake --build
WIN_TREE := build-win
WIN_TOOLCHAIN := cmake/mingw-w64-x86_64-posix.cmake
FORMAT_FILES := git ls-files -z '*.cpp' '*.h' '*.hpp' '*.cc' | xargs -0 -r

# The targets share build trees and a Wine prefix; never run them side by side.
.NOTPARALLEL:
.PHONY: help run test test-format test-native test-asan test-tsan test-win test-fuzz dist clean format format-check \
  kelpo-exe bench-wash bench-startup
.DEFAULT_GOAL := help

help:
	@echo "make run           build kelpo.exe and start it under Wine (screenshot when there is no display)"
	@echo "make test          formatting, native, sanitizer, Wine and fuzz stages, with one summary"
	@echo "make test-native   one stage only (also test-format, test-asan, test-tsan, test-win, test-fuzz)"
	@echo "make dist          dist/kelpo-<version>-win64.zip with kelpo.exe and images/"
	@echo "make bench-wash    the wash over the stand-in cache library under Wine against the bare calls"
	@echo "make bench-startup kelpo.exe's start-up time under Wine next to a minimal Win32 program (RUNS=15)"
	@echo "make format        clang-format the tracked C++ files (format-check only reports)"
	@echo "make clean         remove every build tree and dist/"

# Builds kelpo.exe and its images folder in build-win/.
kelpo-exe:
	@test -f $(WIN_TREE)/Makefile -a -z "$(CMAKE_ARGS)" || \
	  cmake -S . -B $(WIN_TREE) -DCMAKE_TOOLCHAIN_FILE=$(WIN_TOOLCHAIN) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)
	$(CMAKE_BUILD) $(WIN_TREE) --target kelpo -j $(JOBS)

# Start-up time under Wine: kelpo.exe, as built and as shipped (stripped, as in
# the zip), against the minimal program with the same controls
# (bench/win32/MinimalWindow.cpp), RUNS starts each, on a private Xvfb.
RUNS ?= 15
bench-startup:
	@tools/install-deps.sh run
	@test -f $(WIN_TREE)/Makefile -a -z "$(CMAKE_ARGS)" || \
	  cmake -S . -B $(WIN_TREE) -DCMAKE_TOOLCHAIN_FILE=$(WIN_TOOLCHAIN) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)
	$(CMAKE_BUILD) $(WIN_TREE) --target kelpo_startup_bench -j $(JOBS)
	@mkdir -p $(WIN_TREE)/bench-shipped && rm -rf $(WIN_TREE)/bench-shipped/images && \
	  cp -r $(WIN_TREE)/images $(WIN_TREE)/bench-shipped/ && \
	  x86_64-w64-mingw32-strip -o $(WIN_TREE)/bench-shipped/kelpo.exe $(WIN_TREE)/kelpo.exe
	tools/wine-session.sh --xvfb $(WIN_TREE) wine $(WIN_TREE)/kelpo_startup_bench.exe $(RUNS) \
	  $(WIN_TREE)/kelpo_minimal_window.exe "as-built=$(WIN_TREE)/kelpo.exe" "shipped=$(WIN_TREE)/bench-shipped/kelpo.exe"

# With a display Kelpo opens on it; without one it runs on a private Xvfb and a
# screenshot of its main window is saved.
run:
	@tools/install-deps.sh run
	@$(MAKE) --no-print-directory kelpo-exe
	@if [ -n "$$DISPLAY" ]; then \
	  tools/wine-session.sh $(WIN_TREE) wine $(WIN_TREE)/kelpo.exe; \
	else \
	  echo "No DISPLAY: running Kelpo on a private Xvfb for a screenshot."; \
	  tools/wine-session.sh --xvfb $(WIN_TREE) tools/kelpo-screenshot.sh $(WIN_TREE)/kelpo.exe $(CURDIR)/$(WIN_TREE)/screenshot.png; \
	fi

test:
	@tools/install-deps.sh test
	@tools/run-tests.sh

test-format test-native test-asan test-tsan test-win test-fuzz:
	@tools/install-deps.sh test
	@tools/run-tests.sh $(patsubst test-%,%,$@)

dist:
	@tools/install-deps.sh dist
	@$(MAKE) --no-print-directory kelpo-exe
	$(CMAKE_BUILD) $(WIN_TREE) --target dist

# The wash at scale on the Win32 backend, over the test-only stand-in cache library
# (100,000 entries), against the same cache calls made bare; under Wine.
bench-wash:
	@tools/install-deps.sh test
	@test -f $(WIN_TREE)/Makefile -a -z "$(CMAKE_ARGS)" || \
	  cmake -S . -B $(WIN_TREE) -DCMAKE_TOOLCHAIN_FILE=$(WIN_TOOLCHAIN) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)
	$(CMAKE_BUILD) $(WIN_TREE) --target kelpo_wash_standin_bench -j $(JOBS)
	tools/wine-session.sh $(WIN_TREE) tests/win32/cache-standin/wine-with-standin.sh \
	  $(WIN_TREE)/cache-standin/kelpo_wash_standin_bench.exe $(BENCH_ARGS)

clean:
	@if [ -d $(WIN_TREE)/.wine ]; then WINEPREFIX=$(CURDIR)/$(WIN_TREE)/.wine wineserver -k 2>/dev/null || true; fi
	rm -rf build build-asan build-tsan build-fuzz $(WIN_TREE) dist

format:
	@tools/install-deps.sh format
	$(FORMAT_FILES) clang-format -i

format-check:
	@tools/install-deps.sh format
	$(FORMAT_FILES) clang-format --dry-run --Werror
