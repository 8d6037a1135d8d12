"""The module's docstrings and stubs carry the C++ reference: every class and member a host
can call is documented, and the type stubs describe the module that was built."""

import enum
import inspect
import pathlib

import pytest


def bound_members(ryqt, qt):
    """(qualified name, object) for every class of the module and what each class adds."""
    for name, cls in vars(ryqt).items():
        if not inspect.isclass(cls) or cls.__module__ != ryqt.__name__:
            continue
        # Enums are documented by their members' names; sip gives them no docstring.
        if issubclass(cls, enum.Enum) or type(cls).__name__ == "enumtype":
            continue
        yield name, cls
        for attr, value in vars(cls).items():
            # Enum members, signals and the sip/Qt internals carry no text of their own.
            if attr.startswith("_") or not callable(value) or isinstance(value, type):
                continue
            if type(value).__name__ in ("pyqtSignal", "pyqtBoundSignal"):
                continue
            yield f"{name}.{attr}", value


def test_every_member_has_reference_text(ryqt, qt):
    undocumented = []
    for name, obj in bound_members(ryqt, qt):
        doc = (obj.__doc__ or "").strip()
        # sip puts the signature first; the reference text follows it.
        text = [line for line in doc.splitlines() if line.strip() and "(" not in line.split(" ", 1)[0]]
        if not text:
            undocumented.append(name)
    assert not undocumented, "no reference text: " + ", ".join(sorted(undocumented))


def test_stub_lies_beside_the_module_and_names_every_class(ryqt):
    stub = pathlib.Path(ryqt.__file__).with_name(ryqt.__name__ + ".pyi")
    text = stub.read_text(encoding="utf-8")
    classes = [n for n, c in vars(ryqt).items() if inspect.isclass(c) and c.__module__ == ryqt.__name__]
    assert classes
    missing = [n for n in classes if f"class {n}" not in text]
    assert not missing, missing
    # The shapes a Python host relies on are in the stub too.
    assert "def load(self) -> typing.Tuple[bool, typing.Any]" in text or "def load(self) -> Tuple[bool, Any]" in text
    assert "Callable[[QToastEvent], None]" in text
