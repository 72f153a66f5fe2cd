# Run by cpack after the packages are built (CPACK_POST_BUILD_SCRIPTS), for what CPack (3.25)
# cannot do itself:
# - CPack's strip leaves the .comment and .note sections (the compiler's name and version):
#   every program and library is stripped of them, as dh_strip does.
# - CPack gives a package with a library in /usr/lib maintainer scripts that call ldconfig;
#   libquillion0 has dpkg's ldconfig trigger instead, and a package with a postrm script would
#   stay behind in the state "config-files" after apt remove: they are taken out.
# - libquillion0 and libquillion-dev are "Multi-Arch: same": every file is in the
#   architecture's library folder or is the same on every architecture (headers, documents),
#   so the packages of several architectures can be installed side by side.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  get_filename_component(name ${deb} NAME)
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb -R ${deb} ${tree} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -R ${deb} failed")
  endif()
  file(GLOB_RECURSE files LIST_DIRECTORIES false ${tree}/usr/bin/* ${tree}/usr/lib/*.so.*)
  foreach(file IN LISTS files)
    if(IS_SYMLINK ${file})
      continue()
    endif()
    execute_process(COMMAND strip --remove-section=.comment --remove-section=.note ${file}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "strip ${file} failed")
    endif()
  endforeach()
  # The files' checksums, again after stripping.
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${tree} ${tree}/usr/*)
  list(SORT files)
  set(md5sums "")
  foreach(file IN LISTS files)
    if(NOT IS_SYMLINK ${tree}/${file})
      file(MD5 ${tree}/${file} sum)
      string(APPEND md5sums "${sum}  ${file}\n")
    endif()
  endforeach()
  file(WRITE ${tree}/DEBIAN/md5sums "${md5sums}")
  if(name MATCHES "^libquillion(0|-dev)_")
    file(REMOVE ${tree}/DEBIAN/postinst ${tree}/DEBIAN/postrm)
    file(READ ${tree}/DEBIAN/control control)
    if(NOT control MATCHES "\nMulti-Arch:")
      string(REGEX REPLACE "(^|\n)(Architecture: [^\n]*)" "\\1\\2\nMulti-Arch: same" control
                           "${control}")
      file(WRITE ${tree}/DEBIAN/control "${control}")
    endif()
  endif()
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz -b ${tree} ${deb}
                  RESULT_VARIABLE status OUTPUT_QUIET)
  file(REMOVE_RECURSE ${tree})
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb -b ${deb} failed")
  endif()
endforeach()
