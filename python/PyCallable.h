#pragma once

#include <Python.h>

#include <functional>

namespace ryqt {

/// A Python callable held by C++ code, such as the callable inside a listener made from Python.
/// Copies share the one Python object; the last copy releases it. Any thread may copy, destroy
/// or call it: each of those takes the GIL itself. An exception the callable raises goes to
/// PyQt's own handler, so it reaches sys.excepthook exactly like one raised in a PyQt slot.
class PyCallable
{
public:
    /// Keeps \a callable; the caller holds the GIL.
    explicit PyCallable(PyObject* callable) : m_callable(callable) { Py_XINCREF(m_callable); }

    PyCallable(const PyCallable& other) : m_callable(other.m_callable)
    {
        if (!m_callable || !interpreterAlive())
            return;
        PyGILState_STATE state = PyGILState_Ensure();
        Py_INCREF(m_callable);
        PyGILState_Release(state);
    }

    PyCallable& operator=(const PyCallable&) = delete;

    ~PyCallable()
    {
        // A listener may outlive the interpreter (a toast deleted by QApplication's teardown
        // after Python has finalised): then the reference is simply abandoned.
        if (!m_callable || !interpreterAlive())
            return;
        PyGILState_STATE state = PyGILState_Ensure();
        Py_DECREF(m_callable);
        PyGILState_Release(state);
    }

    /// Calls the callable with the tuple that \a makeArgs builds while the GIL is held; a null
    /// tuple means building the arguments failed, and that error is reported instead.
    void call(const std::function<PyObject*()>& makeArgs) const
    {
        if (!m_callable || !interpreterAlive())
            return;
        PyGILState_STATE state = PyGILState_Ensure();
        PyObject* args = makeArgs();
        PyObject* result = args ? PyObject_CallObject(m_callable, args) : nullptr;
        Py_XDECREF(args);
        if (result)
            Py_DECREF(result);
        else
            printError();
        PyGILState_Release(state);
    }

    /// The function that reports a pending Python error: PyQt's, set when the module loads.
    static void setErrorPrinter(void (*printer)()) { s_printError = printer; }

private:
    static bool interpreterAlive()
    {
#if PY_VERSION_HEX >= 0x030D0000
        return Py_IsInitialized() && !Py_IsFinalizing();
#else
        return Py_IsInitialized() && !_Py_IsFinalizing();
#endif
    }

    static void printError()
    {
        if (s_printError)
            s_printError();
        else
            PyErr_Print();
    }

    PyObject* m_callable = nullptr;
    static inline void (*s_printError)() = nullptr;
};

} // namespace ryqt
