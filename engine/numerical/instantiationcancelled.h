#pragma once
// How the numerical route stops when its caller says so.

#include <stdexcept>

// Thrown between two evaluations of an instantiation when the caller's keepGoing says stop.
struct InstantiationCancelled : std::runtime_error {
    InstantiationCancelled() : std::runtime_error("the instantiation was cancelled") {}
};
