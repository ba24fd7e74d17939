#pragma once
// Running engine work with the GIL released, so that other Python threads run
// meanwhile, in a way that survives the end of the interpreter.
//
// A daemon thread that takes the GIL back while the interpreter shuts down is
// ended by the interpreter with a forced unwind. pybind11's gil_scoped_release
// takes it back in its destructor, which may not throw, so the unwind there
// calls std::terminate and the process aborts. Here the GIL is taken back in
// plain code, through which the unwind passes and ends the thread quietly.

#include <cxxabi.h>

#include <exception>
#include <optional>
#include <utility>

#include <Python.h>

template <class Work>
auto withoutGil(Work&& work) -> decltype(work())
{
    using Result = decltype(work());
    std::optional<Result> result;
    std::exception_ptr failure;
    PyThreadState* state = PyEval_SaveThread();
    try {
        result.emplace(std::forward<Work>(work)());
    } catch (abi::__forced_unwind&) {
        throw;  // the thread is being ended inside the work (a signal check took the GIL)
    } catch (...) {
        failure = std::current_exception();
    }
    PyEval_RestoreThread(state);
    if (failure)
        std::rethrow_exception(failure);
    return std::move(*result);
}
