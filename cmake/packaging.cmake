# Packages: cpack (or the `release` and `windows` workflow presets) writes a
# Debian package and a tarball on Linux, and a zip on Windows.

set(CPACK_PACKAGE_NAME inverse_neville)
set(CPACK_PACKAGE_VENDOR "inverse_neville developers")
set(CPACK_PACKAGE_CONTACT "inverse_neville developers <inverse-neville@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "root of exp(-2x) = x by inverse Neville interpolation")
set(CPACK_PACKAGE_DESCRIPTION
  "inverse_neville approximates the root of exp(-2x) = x by inverse
interpolation: it tabulates f(x) = exp(-2x) - x at four fixed nodes, runs
Neville's iterated interpolation on the inverse function x = g(y) and
evaluates the cubic at y = 0. It prints the approximated root and the
residual exp(-2p) - p in two fixed lines, the same to the last digit on
every build. It reads no input; it is meant for learning, teaching and
checking numerical methods.")
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME win64)
else()
  set(CPACK_GENERATOR DEB TGZ)
endif()

# Debian: a package name cannot hold an underscore; the program keeps its
# name.  Depends is read off the binary by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_NAME inverse-neville)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
