# Zyntrel: `make run` sets up and plays the example game, `make test` sets up and runs every test.
JOBS ?= $(shell nproc)
RELEASE := build/release
TESTBUILD := build/test
BENCHBUILD := build/bench
FUZZBUILD := build/fuzz
GAME ?= examples/demo

.PHONY: all deps build run test bench fuzz clean

all: build

deps:
	@./scripts/install-deps.sh

build: deps
	@cmake -S . -B $(RELEASE) -DCMAKE_BUILD_TYPE=Release -DZYNTREL_TESTS=OFF >/dev/null
	@cmake --build $(RELEASE) -j $(JOBS)

run: build
	@./tools/run-demo.sh $(RELEASE)/zyntrel $(GAME)

test: deps
	@cmake -S . -B $(TESTBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZYNTREL_SANITIZE=ON >/dev/null
	@cmake --build $(TESTBUILD) -j $(JOBS)
	@cd $(TESTBUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	@cmake -S . -B $(BENCHBUILD) -DCMAKE_BUILD_TYPE=Release -DZYNTREL_TESTS=OFF -DZYNTREL_BENCH=ON >/dev/null
	@cmake --build $(BENCHBUILD) -j $(JOBS)
	@./tools/run-benchmarks.sh $(BENCHBUILD)

fuzz: deps
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZBUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZYNTREL_TESTS=OFF -DZYNTREL_FUZZ=ON >/dev/null
	@cmake --build $(FUZZBUILD) -j $(JOBS)
	@./tools/run-fuzzers.sh $(FUZZBUILD)

clean:
	rm -rf build
