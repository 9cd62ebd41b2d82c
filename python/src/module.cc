// silhouette._core: the extension module under the Python package.
//
// The package checks and converts its arguments into the forms these
// functions take (float64 arrays, floats, lists of view tuples); each
// function reads them with the GIL held, computes without it, and makes its
// outputs with it again. Failures of the computation raise RuntimeError
// with the core's message; running out of memory raises OutOfMemoryError.
#include <gsl/gsl_errno.h>
#include <pybind11/pybind11.h>

#include <new>

#include "best_start_binding.h"
#include "dovanel_binding.h"
#include "kestrim_binding.h"
#include "pirolet_binding.h"

namespace py = pybind11;

namespace {

// The OutOfMemoryError type, set once when the module is imported (as
// pybind11 keeps the types of the exceptions it registers); the
// translator, a plain function, reads it.
PyObject*& OutOfMemoryType() {
  static PyObject* type = nullptr;
  return type;
}

void TranslateOutOfMemory(std::exception_ptr failure) {
  try {
    if (failure) std::rethrow_exception(failure);
  } catch (const std::bad_alloc&) {
    PyErr_SetString(OutOfMemoryType(), "out of memory");
  }
}

}  // namespace

PYBIND11_MODULE(_core, m) {
  m.doc() = "The computations under the silhouette package.";

  // GSL's default error handler aborts the process. Calls run side by side
  // on several threads once the GIL is released, so the handler is turned
  // off here, once for the process, and never set again by this module.
  gsl_set_error_handler_off();
  // For the tests: reports a GSL error through the module's own GSL (linked
  // in, private to the module), which returns only while its handler is
  // off.
  m.def("_gsl_error_returns", [] {
    gsl_error("provoked", __FILE__, __LINE__, GSL_EDOM);
    return true;
  });

  // Both a RuntimeError, as every failure of a computation is, and a
  // MemoryError. Created once, with the module; kept for the process's
  // lifetime, as the module's own objects are.
  PyObject* bases = PyTuple_Pack(2, PyExc_RuntimeError, PyExc_MemoryError);
  if (bases == nullptr) throw py::error_already_set();
  PyObject* out_of_memory = PyErr_NewExceptionWithDoc(
      "silhouette.OutOfMemoryError",
      "A computation ran out of memory (a RuntimeError and a MemoryError).",
      bases, nullptr);
  Py_DECREF(bases);
  if (out_of_memory == nullptr) throw py::error_already_set();
  OutOfMemoryType() = out_of_memory;
  m.add_object("OutOfMemoryError", py::handle(out_of_memory));
  py::register_exception_translator(&TranslateOutOfMemory);

  silhouette::python::BindPirolet(m);
  silhouette::python::BindKestrim(m);
  silhouette::python::BindDovanel(m);
  silhouette::python::BindBestStart(m);
}
