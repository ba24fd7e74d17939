#pragma once
// A finished circuit as plain Python values, for pickle and copy: the
// unpickled circuit answers every method as the original does.

#include <pybind11/pybind11.h>

#include "python/circuitresult.h"

pybind11::tuple circuitState(const CircuitResult& result);
// Throws ValueError for a state this version of the module did not write.
CircuitResult circuitFromState(const pybind11::tuple& state);
