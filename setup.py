"""The build step of pip install: CMake builds the udecomp module alone (no
window, no tests, no benchmarks) for the interpreter pip runs. The wheel holds
the package udecomp: the compiled module inside it, its type stub and py.typed."""
import os
import pathlib
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = pathlib.Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        subprocess.run(["cmake", "-S", str(SOURCE), "-B", str(build), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release",
                        "-DUDECOMP_GUI=OFF", "-DUDECOMP_TESTS=OFF", "-DUDECOMP_BENCH=OFF",
                        f"-DPython3_EXECUTABLE={sys.executable}"], check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "udecomp_python", "-j", str(os.cpu_count() or 2)],
                       check=True)
        built = next((build / "python").glob("udecomp*.so"))
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)
        # The stub and the marker that tell type checkers the package is typed.
        shutil.copyfile(SOURCE / "python" / "udecomp.pyi", target.parent / "__init__.pyi")
        shutil.copyfile(SOURCE / "python" / "package" / "py.typed", target.parent / "py.typed")


setup(packages=["udecomp"], package_dir={"udecomp": "python/package"},
      ext_modules=[Extension("udecomp.udecomp", sources=[])], cmdclass={"build_ext": CMakeBuild})
