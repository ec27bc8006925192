# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack: the package's Depends are the tools and fonts the program needs
# (CPACK_VANTREL_TOOL_DEPENDS) and the libraries its programs and modules link, which
# dpkg-shlibdeps finds from the built application folder.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
find_program(_shlibdeps dpkg-shlibdeps REQUIRED)
file(GLOB _candidates ${CPACK_VANTREL_APP_DIR}/*)
set(_elf_files)
foreach(file IN LISTS _candidates)
  if(IS_DIRECTORY ${file})
    continue()
  endif()
  file(READ ${file} _magic LIMIT 4 HEX)
  if(_magic STREQUAL "7f454c46")
    list(APPEND _elf_files ${file})
  endif()
endforeach()
if(NOT _elf_files)
  message(FATAL_ERROR "no programs in ${CPACK_VANTREL_APP_DIR}: build first")
endif()
# dpkg-shlibdeps wants a source package's control file where it runs.
set(_where ${CPACK_PACKAGE_DIRECTORY})
if(NOT _where)
  set(_where ${CPACK_VANTREL_APP_DIR}/..)
endif()
string(RANDOM LENGTH 8 _name)
set(_where ${_where}/shlibdeps-${_name})
file(MAKE_DIRECTORY ${_where}/debian)
file(WRITE ${_where}/debian/control "Source: vantrel\n")
# The private libraries beside the programs belong to this package: no other package
# provides them, so their missing dependency information is no fault.
execute_process(COMMAND ${_shlibdeps} -O --ignore-missing-info -l${CPACK_VANTREL_APP_DIR} ${_elf_files}
  WORKING_DIRECTORY ${_where} OUTPUT_VARIABLE _output ERROR_VARIABLE _errors RESULT_VARIABLE _result
  OUTPUT_STRIP_TRAILING_WHITESPACE)
file(REMOVE_RECURSE ${_where})
if(NOT _result EQUAL 0 OR NOT _output MATCHES "shlibs:Depends=")
  message(FATAL_ERROR "dpkg-shlibdeps failed: ${_errors}")
endif()
string(REGEX REPLACE "^.*shlibs:Depends=" "" _libraries "${_output}")
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${_libraries}, ${CPACK_VANTREL_TOOL_DEPENDS}")
