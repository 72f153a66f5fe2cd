# Run by cpack after the packages are built (CPACK_POST_BUILD_SCRIPTS). CPack gives a package
# with a library in /usr/lib maintainer scripts that call ldconfig; libquillion0 has dpkg's
# ldconfig trigger instead, and a package with a postrm script would stay behind in the state
# "config-files" after apt remove. The package is rebuilt without postinst and postrm.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name ${deb} NAME)
  if(NOT name MATCHES "^libquillion0_.*\\.deb$")
    continue()
  endif()
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -R ${deb} failed")
  endif()
  file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b ${tree} ${deb}
                  RESULT_VARIABLE status OUTPUT_QUIET)
  file(REMOVE_RECURSE ${tree})
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -b ${deb} failed")
  endif()
endforeach()
