# The only commands a person needs: make run, make test, make bench.
JOBS ?= $(shell nproc)

.PHONY: deps build run test bench clean

deps:
	@bash scripts/install-deps

build: deps
	cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build -j $(JOBS)

run: build
	@bash scripts/run

test: deps
	@bash scripts/test

bench: deps
	cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUENDAR_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	@bash scripts/bench

clean:
	rm -rf build build-asan build-fuzz build-bench build-tsan
