# SPDX-License-Identifier: GPL-3.0-or-later
# cmake -DMSGFMT=msgfmt -DPO=LANG.po -DMO=OUT.mo -DCOMPLETE=ON|OFF -P compile_catalogue.cmake
# Compiles one catalogue with its checks; a complete one must have every entry translated.
get_filename_component(folder ${MO} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
execute_process(COMMAND ${MSGFMT} --check --statistics -o ${MO}.new ${PO}
  RESULT_VARIABLE status ERROR_VARIABLE report)
string(STRIP "${report}" report)
if(NOT status EQUAL 0)
  file(REMOVE ${MO}.new)
  message(FATAL_ERROR "${PO}: ${report}")
endif()
if(COMPLETE AND report MATCHES "untranslated|fuzzy")
  file(REMOVE ${MO}.new)
  message(FATAL_ERROR "${PO} must be complete: ${report} (run scripts/update-po and translate)")
endif()
file(RENAME ${MO}.new ${MO})
