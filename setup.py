# SPDX-License-Identifier: MIT
"""Builds the nessel extension module.

The library is built from this source tree with CMake (its static core, in
the build's temporary directory, without the tests) and linked into the
module; nothing of an existing build tree is used.  The default zone
configuration data/pellow.ini goes into the package beside the module.
"""

import os
import shutil
import subprocess

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext
from setuptools.command.build_py import build_py

ROOT = os.path.dirname(os.path.abspath(__file__))


class BuildCore(build_ext):
    def run(self):
        core = os.path.abspath(os.path.join(self.build_temp, "core"))
        configure = ["cmake", "-S", ROOT, "-B", core, "-DCMAKE_BUILD_TYPE=Release",
                     "-DNESSEL_TESTS=OFF", "-DNESSEL_BENCH=OFF"]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        if shutil.which("ccache"):
            configure += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache",
                          "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
        subprocess.check_call(configure)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL", str(os.cpu_count() or 2))
        subprocess.check_call(["cmake", "--build", core, "--target", "nessel_core", "-j", jobs])
        for ext in self.extensions:
            ext.extra_objects = [os.path.join(core, "libnessel_core.a")]
        super().run()


class BuildPackage(build_py):
    def run(self):
        super().run()
        target = os.path.join(self.build_lib, "nessel")
        os.makedirs(target, exist_ok=True)
        shutil.copyfile(os.path.join(ROOT, "data", "pellow.ini"),
                        os.path.join(target, "pellow.ini"))


extension = Extension(
    "nessel._nessel",
    sources=["python/_nessel.cpp", "cxx/zones.cpp"],
    include_dirs=[ROOT, os.path.join(ROOT, "include")],
    libraries=["sqlite3", "curl"],
    language="c++",
    extra_compile_args=["-std=c++20", "-fvisibility=hidden", "-O2"],
    # The library's symbols (the C exports too) stay inside the module: it
    # exports its entry point alone.
    extra_link_args=["-Wl,--exclude-libs,ALL",
                     "-Wl,--version-script=" + os.path.join(ROOT, "python", "_nessel.map")],
)

setup(
    ext_modules=[extension],
    cmdclass={"build_ext": BuildCore, "build_py": BuildPackage},
    options={"build": {"build_base": "build-python"}},
)
