# The two commands of the README: `make demo` and `make test`. Both install what they need first.
SHELL := /bin/bash
BUILD     ?= build
NATIVE    := $(BUILD)/native
SANITIZE  := $(BUILD)/sanitize
DEMO_OUT  ?= out/examples
JOBS      ?= $(shell nproc)
FUZZ_RUNS ?= 100000

.PHONY: all setup build build-sanitize demo test test-native test-sanitize bench screenshot clean \
        setup-control build-control test-control demo-control \
        setup-package package package-deb package-msi package-windows-cli build-windows-cli test-package

all: build

setup:
	@scripts/setup.sh engine app

$(NATIVE)/build.ninja:
	cmake -S . -B $(NATIVE) -G Ninja -DCMAKE_BUILD_TYPE=Release

build: setup $(NATIVE)/build.ninja
	cmake --build $(NATIVE) -j $(JOBS)

# Engine tests and the fuzz target under AddressSanitizer and UndefinedBehaviorSanitizer, built with clang.
$(SANITIZE)/build.ninja:
	cmake -S . -B $(SANITIZE) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DPATHSHIFT_SANITIZE=ON -DPATHSHIFT_FUZZ=ON -DPATHSHIFT_FUZZ_RUNS=$(FUZZ_RUNS) -DPATHSHIFT_BUILD_APP=OFF

build-sanitize: setup $(SANITIZE)/build.ninja
	cmake --build $(SANITIZE) -j $(JOBS)

demo: build demo-control
	@scripts/demo.sh $(NATIVE) $(DEMO_OUT)

test-native: build
	cd $(NATIVE) && ctest --output-on-failure -j $(JOBS)

test-sanitize: build-sanitize
	cd $(SANITIZE) && ctest --output-on-failure -j $(JOBS)

test: test-native test-sanitize test-control test-package

bench: build
	@scripts/bench.sh $(NATIVE)

# The README's picture of the main window, taken from the real program on Qt's offscreen platform.
screenshot: build
	QT_QPA_PLATFORM=offscreen $(NATIVE)/converter/app/pathshift-screenshot docs/pathshift-main-window.png examples

# QzCommonDialog: the control DLL cross-built for both bitnesses with mingw-w64, tested and shown
# under Wine. Each bitness is its own CMake build with its own Wine prefix.
CONTROL_ARCHS := i686 x86_64
CONTROL_JOBS  ?= 2

setup-control:
	@scripts/setup.sh control

$(BUILD)/control-%/build.ninja:
	cmake -S control -B $(BUILD)/control-$* -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-$*.cmake

build-control: setup-control $(foreach a,$(CONTROL_ARCHS),$(BUILD)/control-$(a)/build.ninja)
	$(foreach a,$(CONTROL_ARCHS),cmake --build $(BUILD)/control-$(a) -j $(CONTROL_JOBS) &&) true

test-control: build-control
	$(foreach a,$(CONTROL_ARCHS),scripts/control-test.sh $(BUILD)/control-$(a) -j $(CONTROL_JOBS) &&) true

demo-control: build-control
	@scripts/control-demo.sh $(BUILD)

# What users install, in dist/: the Debian package of Pathshift, pathshift-cli for Windows and the
# control's installer.
DIST := dist
project_version = $(shell awk '/^project/ { print $$3 }' $(1))
PATHSHIFT_VERSION := $(call project_version,CMakeLists.txt)
DEB := $(DIST)/pathshift_$(PATHSHIFT_VERSION)_$(shell dpkg --print-architecture).deb
CONTROL_VERSION := $(call project_version,control/CMakeLists.txt)
MSI := $(DIST)/QzCommonDialog-$(CONTROL_VERSION)-x64.msi

setup-package:
	@scripts/setup.sh package

package: package-deb package-msi package-windows-cli

# Configured again so that a build tree made before help2man was installed finds it.
package-deb: setup-package build
	cmake -S . -B $(NATIVE) >/dev/null
	cmake --build $(NATIVE) -j $(JOBS)
	rm -f $(DIST)/pathshift_*.deb
	cd $(NATIVE) && cpack -G DEB -D CPACK_OUTPUT_FILE_PREFIX=$(CURDIR)/$(DIST)

package-msi: setup-package build-control
	scripts/control-msi.sh $(BUILD) $(MSI)

# pathshift-cli for Windows: the engine and the command line cross-built with mingw-w64 into one
# static program, tested under Wine against the Linux build. 64-bit only: the exact decimal
# formatting needs the 128-bit integers that the 32-bit compiler lacks.
WINDOWS_CLI := $(BUILD)/cli-x86_64
WINDOWS_EXE := $(DIST)/windows-x64/pathshift-cli.exe

$(WINDOWS_CLI)/build.ninja:
	cmake -S . -B $(WINDOWS_CLI) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake -DPATHSHIFT_BUILD_APP=OFF -DPATHSHIFT_BUILD_TESTS=OFF

build-windows-cli: setup-control $(WINDOWS_CLI)/build.ninja
	cmake --build $(WINDOWS_CLI) -j $(CONTROL_JOBS)

package-windows-cli: build-windows-cli
	mkdir -p $(dir $(WINDOWS_EXE))
	x86_64-w64-mingw32-strip -o $(WINDOWS_EXE).tmp $(WINDOWS_CLI)/converter/cli/pathshift-cli.exe
	mv $(WINDOWS_EXE).tmp $(WINDOWS_EXE)

test-package: package
	scripts/package-deb-test.sh $(DEB) $(NATIVE)
	scripts/control-msi-test.sh $(MSI) $(BUILD)
	scripts/windows-cli-test.sh $(NATIVE) $(WINDOWS_CLI)

clean:
	rm -rf $(BUILD) out $(DIST)
