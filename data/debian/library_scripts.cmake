# Run by cpack after the packages are built (CPACK_POST_BUILD_SCRIPTS); CPack (3.25) cannot do
# either of these itself:
# - CPack gives a package with a library in /usr/lib maintainer scripts that call ldconfig;
#   libquillion0 has dpkg's ldconfig trigger instead, and a package with a postrm script would
#   stay behind in the state "config-files" after apt remove: they are taken out.
# - libquillion0 and libquillion-dev are "Multi-Arch: same": every file is in the
#   architecture's library folder or is the same on every architecture (headers, documents),
#   so the packages of several architectures can be installed side by side.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name ${deb} NAME)
  if(NOT name MATCHES "^libquillion(0|-dev)_.*\\.deb$")
    continue()
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -R ${deb} failed")
  endif()
  file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
  file(READ ${tree}/DEBIAN/control control)
  if(NOT control MATCHES "\nMulti-Arch:")
    string(REGEX REPLACE "(\nArchitecture: [^\n]*)" "\\1\nMulti-Arch: same" control "${control}")
    file(WRITE ${tree}/DEBIAN/control "${control}")
  endif()
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b ${tree} ${deb}
                  RESULT_VARIABLE status OUTPUT_QUIET)
  file(REMOVE_RECURSE ${tree})
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -b ${deb} failed")
  endif()
endforeach()
