"""The Python example of the README runs as written and finds the circuit equal to its matrix."""
import contextlib
import io
import pathlib
import re

README = pathlib.Path(__file__).resolve().parents[2] / "README.md"


def test_readme_example_runs_as_written():
    text = README.read_text(encoding="utf-8")
    section = text[text.index("## Python"):]
    example = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    printed = io.StringIO()
    with contextlib.redirect_stdout(printed):
        exec(compile(example, "README.md", "exec"), {})
    lines = printed.getvalue().splitlines()
    assert re.fullmatch(r"basic \d+ CNOTs, \d+ gates, True", lines[0])
    assert float(lines[1].split(":")[1]) < 1e-11
