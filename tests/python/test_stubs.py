"""The type stubs describe the module as it is: the same public names, the
same properties on each class, the same parameters and defaults."""
import ast
import inspect
import pathlib

import pytest

import tonalyx

STUB = ast.parse((pathlib.Path(tonalyx.__file__).parent / "__init__.pyi").read_text())
CLASSES = {node.name: node for node in STUB.body if isinstance(node, ast.ClassDef)}
FUNCTIONS = {node.name: node for node in STUB.body if isinstance(node, ast.FunctionDef)}


def test_every_public_name_has_a_stub():
    declared = set(CLASSES) | set(FUNCTIONS) | {
        node.target.id for node in STUB.body if isinstance(node, ast.AnnAssign)}
    assert set(tonalyx.__all__) <= declared


@pytest.mark.parametrize("name", ["Result", "Measurement", "Message", "BatchRow"])
def test_class_properties(name):
    stubbed = {node.name for node in CLASSES[name].body if isinstance(node, ast.FunctionDef)}
    actual = {attr for attr in dir(getattr(tonalyx, name)) if not attr.startswith("_")}
    assert stubbed == actual


@pytest.mark.parametrize("name", ["analyze", "measure", "batch"])
def test_function_parameters(name):
    args = FUNCTIONS[name].args
    stubbed = [(a.arg, ast.literal_eval(d) if d is not None else inspect.Parameter.empty)
               for a, d in zip(args.args + args.kwonlyargs,
                               [None] * (len(args.args) - len(args.defaults)) + args.defaults + args.kw_defaults)]
    actual = [(p.name, p.default) for p in inspect.signature(getattr(tonalyx, name)).parameters.values()]
    assert stubbed == actual
    assert getattr(tonalyx, name).__doc__
