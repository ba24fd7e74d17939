"""The Python example of the README runs as written and finds both routes' circuits equal to
their matrix, the fewest-CNOT one with fewer CNOTs."""
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
    assert len(lines) == 4
    cnots = {}
    for (route, tolerance), (counts, difference) in zip([("basic", 1e-11), ("shannon", 1e-12)],
                                                        [lines[0:2], lines[2:4]]):
        found = re.fullmatch(route + r" (\d+) CNOTs, \d+ gates, True", counts)
        assert found, counts
        cnots[route] = int(found.group(1))
        assert difference.startswith("largest difference from u:")
        assert float(difference.split(":")[1]) < tolerance
    assert 0 < cnots["shannon"] < cnots["basic"]
