# Movara: build, start and test the Windows program on Debian, under Wine.
#
#   make run     install what is missing, build, and start Movara
#   make test    install what is missing, build, and run every test
#   make bench   build and print the benchmarks' figures
#   make fuzz    build the fuzz targets natively and run each for FUZZ_SECONDS (default 60)
#   make soak    run the whole suite SOAK_RUNS times (default 20) beside SOAK_BURNERS CPU burners (default 2)

BUILD   ?= build
JOBS    ?= $(shell nproc)
WINE_SH := cmake/wine.sh
FUZZ_SECONDS ?= 60
FUZZ_BUILD   ?= $(BUILD)/fuzz
SOAK_RUNS    ?= 20
SOAK_BURNERS ?= 2

# Debian packages the build and the tests need; each entry is "command-or-path:package".
NEEDS := \
  x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix \
  x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64 \
  cmake:cmake \
  ninja:ninja-build \
  /usr/lib/wine/wine64:wine64 \
  wine:wine \
  winegcc:wine64-tools \
  /usr/share/wine/fonts/tahoma.ttf:fonts-wine \
  Xvfb:xvfb \
  ffmpeg:ffmpeg \
  ffprobe:ffmpeg \
  /usr/src/googletest/CMakeLists.txt:googletest \
  /usr/include/opencore-amrnb/interf_enc.h:libopencore-amrnb-dev \
  cc:gcc \
  clang++:clang \
  /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a:libclang-rt-14-dev \
  setsid:util-linux \
  pgrep:procps

.PHONY: all deps build run test bench fuzz soak clean

all: build

deps:
	@missing=""; for need in $(NEEDS); do \
	  what=$${need%%:*}; pkg=$${need##*:}; \
	  case $$what in /*) [ -e $$what ] ;; *) command -v $$what >/dev/null 2>&1 ;; esac \
	    || missing="$$missing $$pkg"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing Debian packages:$$missing"; \
	  sudo=""; [ "$$(id -u)" = 0 ] || sudo=sudo; \
	  $$sudo apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $$sudo apt-get install -y -qq --no-install-recommends $$missing >/dev/null \
	    || { echo "apt-get failed"; exit 1; }; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

# Only the program and what ships with it: a first start does not wait for the test suite to compile.
run: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target dist
	@$(WINE_SH) up
	@echo "Movara is starting on display $$(cat $(BUILD)/wine/display): end it with its close button, or with 'cmake/wine.sh down'."
	$(WINE_SH) run $(BUILD)/dist/movara.exe

test: deps
	@start=$$(date +%s); \
	$(MAKE) --no-print-directory build || exit 1; \
	built=$$(date +%s); \
	$(WINE_SH) up || exit 1; \
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600 -LE bench; rc=$$?; cd ..; \
	$(WINE_SH) down; \
	end=$$(date +%s); \
	echo "Build took $$((built - start)) s, tests took $$((end - built)) s."; \
	exit $$rc

soak: build
	cmake/soak.sh $(BUILD) $(SOAK_RUNS) $(SOAK_BURNERS) $(JOBS)

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target benchmarks
	@$(WINE_SH) up
	@cd $(BUILD) && ctest -L bench -V --timeout 900; rc=$$?; cd ..; $(WINE_SH) down; exit $$rc

# The fuzz targets, built for this machine with clang, libFuzzer and the sanitizers.
fuzz: deps
	@cmake -S native -B $(FUZZ_BUILD) -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
	  -DMOVARA_FUZZ=ON >/dev/null
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZ_TARGETS)

clean:
	-$(WINE_SH) down
	rm -rf $(BUILD)
