# libquillion0's symbols file, data/debian/libquillion0.symbols, against the library's exports
# (dpkg-gensymbols). Run with cmake -P:
#   -DLIBRARY=libquillion.so.X.Y.Z -DVERSION=X.Y.Z -DSYMBOLS=data/debian/libquillion0.symbols
#   -DMODE=check   fails, showing the difference, when the exports differ from the file
#                  (test_deb, on the packaged library);
#   -DMODE=write   rewrites the file after an API change (cmake --build BUILD --target
#                  deb-symbols): symbols kept keep their version, new ones get VERSION, and
#                  removed ones are dropped, which breaks the ABI (raise the SONAME then).
foreach(var LIBRARY VERSION SYMBOLS MODE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "symbols.cmake: -D${var}=... is missing")
  endif()
endforeach()
if(MODE STREQUAL "check")
  set(level 4) # any new or missing symbol is an error, shown as a diff
  set(quiet)
elseif(MODE STREQUAL "write")
  set(level 0)
  set(quiet -q)
else()
  message(FATAL_ERROR "symbols.cmake: MODE is check or write, not ${MODE}")
endif()
string(RANDOM LENGTH 8 tag)
set(out ${CMAKE_CURRENT_BINARY_DIR}/libquillion0.symbols.${tag})
# dpkg-gensymbols reads debian/ files of the current folder when there are any: run it in an
# empty one.
set(empty ${CMAKE_CURRENT_BINARY_DIR}/symbols-run.${tag})
file(MAKE_DIRECTORY ${empty})
execute_process(COMMAND dpkg-gensymbols -plibquillion0 -v${VERSION} -e${LIBRARY} -I${SYMBOLS}
                        -O${out} -c${level} ${quiet}
                WORKING_DIRECTORY ${empty} RESULT_VARIABLE status OUTPUT_VARIABLE diff
                ERROR_VARIABLE diff)
file(REMOVE_RECURSE ${empty})
if(NOT status EQUAL 0)
  file(REMOVE ${out})
  message(FATAL_ERROR "libquillion's exports differ from ${SYMBOLS}:\n${diff}\n"
                      "After an intended API change: cmake --build BUILD --target deb-symbols")
endif()
if(MODE STREQUAL "write")
  file(RENAME ${out} ${SYMBOLS})
  message(STATUS "Wrote ${SYMBOLS}")
else()
  file(REMOVE ${out})
endif()
