# python3-quillion: the Python package of bindings/python (import quillion, over libquillion's C
# interface through ctypes) as a fourth Debian package of `cpack -G DEB`: component python,
# Architecture all, in Debian's python3 folder. Included from the top CMakeLists.txt before
# include(CPack). A plain `cmake --install` leaves it out (EXCLUDE_FROM_ALL): from a source tree
# the package is installed with pip (docs/python.md).
option(QUILLION_PYTHON_PACKAGE "cpack -G DEB also makes python3-quillion" ON)
if(NOT QUILLION_PYTHON_PACKAGE)
  return()
endif()
set(QUILLION_PYTHON_DIR lib/python3/dist-packages
    CACHE STRING "Where python3-quillion puts the package, under the prefix")

set(_quillion_python ${CMAKE_CURRENT_LIST_DIR})
file(STRINGS ${_quillion_python}/src/quillion/_version.py _quillion_python_version
     REGEX "^__version__ = ")
if(NOT _quillion_python_version STREQUAL "__version__ = \"${PROJECT_VERSION}\"")
  message(WARNING "bindings/python/src/quillion/_version.py says ${_quillion_python_version}, "
                  "Quillion is ${PROJECT_VERSION}")
endif()

install(DIRECTORY ${_quillion_python}/src/quillion DESTINATION ${QUILLION_PYTHON_DIR}
        COMPONENT python EXCLUDE_FROM_ALL
        FILES_MATCHING PATTERN "*.py" PATTERN "py.typed" PATTERN "__pycache__" EXCLUDE)
set(PACKAGE python3-quillion)
configure_file(${_quillion_python}/debian/changelog.in debian/python3-quillion/changelog @ONLY)
execute_process(COMMAND gzip -9nf ${CMAKE_CURRENT_BINARY_DIR}/debian/python3-quillion/changelog
                RESULT_VARIABLE _status)
if(NOT _status EQUAL 0)
  message(FATAL_ERROR "gzip of the python3-quillion changelog failed")
endif()
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright
              ${CMAKE_CURRENT_BINARY_DIR}/debian/python3-quillion/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/python3-quillion
        COMPONENT python EXCLUDE_FROM_ALL)
install(FILES ${PROJECT_SOURCE_DIR}/docs/python.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/python3-quillion
        COMPONENT python EXCLUDE_FROM_ALL)

list(APPEND CPACK_COMPONENTS_ALL python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-quillion)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3, libquillion0 (>= ${QUILLION_DEB_VERSION})")
set(CPACK_DEBIAN_PYTHON_PACKAGE_SHLIBDEPS OFF)
# Byte-compiled on installation and cleaned before removal, as dh_python3 does.
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA ${_quillion_python}/debian/postinst
                                              ${_quillion_python}/debian/prerm)
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_PYTHON_DESCRIPTION
    "barcode library (Code 128, Code 39, UPC, EAN, QR Code) - Python 3\n\
import quillion paints Quillion's barcodes from Python 3 through libquillion:\n\
quillion.render('code128', 'ABC-123', dpi=300) gives a barcode to save as\n\
PNG, JPEG or SVG, to show in Jupyter or to hand to Pillow, and\n\
quillion.encode() its modules. Any number of threads may render at once.")
