"""Builds the talavex package: pure Python over the shared library.

The version is the CMake project's, read from ../CMakeLists.txt (or, in an
sdist, from PKG-INFO), so that it is set in one place.

With TALAVEX_PREFIX set to a `cmake --install` prefix, the shared library is
copied into the package, which then needs nothing else at run time; the wheel
is then tagged for this platform.
"""

import glob
import os
import re
import shutil

from setuptools import setup
from setuptools.command.build_py import build_py
from setuptools.dist import Distribution

HERE = os.path.dirname(os.path.abspath(__file__))


def project_version():
    cmake_lists = os.path.join(HERE, "..", "CMakeLists.txt")
    if os.path.exists(cmake_lists):
        with open(cmake_lists, encoding="utf-8") as f:
            match = re.search(r"project\(talavex\s+VERSION\s+([0-9.]+)", f.read())
    else:
        with open(os.path.join(HERE, "PKG-INFO"), encoding="utf-8") as f:
            match = re.search(r"^Version:\s*(\S+)", f.read(), re.MULTILINE)
    if not match:
        raise RuntimeError("talavex: no version found in ../CMakeLists.txt or PKG-INFO")
    return match.group(1)


def installed_library(prefix):
    """The library file under an install prefix, by its runtime name."""
    patterns = [
        "lib*/libtalavex.so.[0-9]*",  # Linux: the SONAME, e.g. libtalavex.so.0
        "lib/*/libtalavex.so.[0-9]*",  # Debian's multiarch libdir
        "lib*/libtalavex.[0-9]*.dylib",
        "bin/talavex.dll",
        "bin/libtalavex.dll",
    ]
    for pattern in patterns:
        # The shortest name is the one the loader asks for (libtalavex.so.0, not .so.0.1.0).
        found = sorted(glob.glob(os.path.join(prefix, pattern)), key=len)
        if found:
            return found[0]
    raise RuntimeError(f"talavex: TALAVEX_PREFIX={prefix} holds no installed talavex library")


BUNDLED = installed_library(os.environ["TALAVEX_PREFIX"]) if os.environ.get("TALAVEX_PREFIX") else None


class BuildWithLibrary(build_py):
    def run(self):
        super().run()
        if BUNDLED:
            target = os.path.join(self.build_lib, "talavex", os.path.basename(BUNDLED))
            shutil.copyfile(BUNDLED, target)  # follows the SONAME symlink


class LibraryDistribution(Distribution):
    def has_ext_modules(self):
        return BUNDLED is not None


setup(version=project_version(), cmdclass={"build_py": BuildWithLibrary}, distclass=LibraryDistribution)
