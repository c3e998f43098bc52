# cmake -D MSI=file -D TEMPLATE="x64;2052" -D MSIINFO=msiinfo -D MSIBUILD=msibuild -P this
# Rewrites the package's summary (template: platform and language), keeping its package code.
execute_process(COMMAND ${MSIINFO} suminfo ${MSI} OUTPUT_VARIABLE summary COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "Revision number \\(UUID\\): ({[-0-9A-Fa-f]+})" found "${summary}")
if(NOT found)
  message(FATAL_ERROR "no package code in the summary of ${MSI}")
endif()
execute_process(COMMAND ${MSIBUILD} ${MSI} -s Lumivo Norbek "${TEMPLATE}" ${CMAKE_MATCH_1}
                COMMAND_ERROR_IS_FATAL ANY)
