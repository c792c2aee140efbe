# Builds the release engine through the CMake presets ("engine": the engine
# alone, in build-engine/, so neither GoogleTest nor Google Benchmark is
# needed) and copies it to $(EXE):
#
#   make                   ./ormedan
#   make EXE=path          the engine at path (how OpenBench builds it)
#   make CXX=clang++       another C++ compiler (a change of compiler
#                          configures build-engine/ anew)
#   make clean             removes build-engine/ and $(EXE)
#
# CC and EVALFILE are accepted and unused: the engine is C++ only and has no
# network file.

EXE ?= ormedan
JOBS ?= $(shell nproc 2>/dev/null || echo 1)

.PHONY: all clean

all:
	cmake --preset engine -DCMAKE_CXX_COMPILER="$(CXX)"
	cmake --build --preset engine -j$(JOBS)
	cp build-engine/bin/ormedan "$(EXE)"

clean:
	rm -rf build-engine
	rm -f "$(EXE)"
