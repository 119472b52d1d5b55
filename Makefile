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

# What users install: the Debian package of Pathshift and the control's Windows installer, in dist/.
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
WINDOWS_CLI_ARCHS := x86_64
windows_name = $(if $(filter x86_64,$(1)),windows-x64,windows-x86)

$(BUILD)/cli-%/build.ninja:
	cmake -S . -B $(BUILD)/cli-$* -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-$*.cmake -DPATHSHIFT_BUILD_APP=OFF -DPATHSHIFT_BUILD_TESTS=OFF

build-windows-cli: setup-control $(foreach a,$(WINDOWS_CLI_ARCHS),$(BUILD)/cli-$(a)/build.ninja)
	$(foreach a,$(WINDOWS_CLI_ARCHS),cmake --build $(BUILD)/cli-$(a) -j $(CONTROL_JOBS) &&) true

package-windows-cli: build-windows-cli
	$(foreach a,$(WINDOWS_CLI_ARCHS),mkdir -p $(DIST)/$(call windows_name,$(a)) && \
	  cp $(BUILD)/cli-$(a)/converter/cli/pathshift-cli.exe $(DIST)/$(call windows_name,$(a))/pathshift-cli.exe.tmp && \
	  mv $(DIST)/$(call windows_name,$(a))/pathshift-cli.exe.tmp $(DIST)/$(call windows_name,$(a))/pathshift-cli.exe &&) true

test-package: package
	scripts/package-deb-test.sh $(DEB) $(NATIVE)
	scripts/control-msi-test.sh $(MSI) $(BUILD)
	$(foreach a,$(WINDOWS_CLI_ARCHS),scripts/windows-cli-test.sh $(NATIVE) $(BUILD)/cli-$(a) &&) true

clean:
	rm -rf $(BUILD) out $(DIST)
