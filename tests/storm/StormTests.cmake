# cmake -DSTORM=<tst_storm> -DOUTPUT=<file> -DENVIRONMENT=<list> -P StormTests.cmake
# Writes one CTest test per window that tst_storm's storm test has a row for.
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
        ${STORM} -datatags storm
    OUTPUT_VARIABLE listing
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${STORM} -datatags failed: ${status}")
endif()
string(REGEX MATCHALL "storm [A-Za-z0-9_]+" rows "${listing}")
if(NOT rows)
    message(FATAL_ERROR "${STORM} lists no windows")
endif()
set(tests "")
foreach(row ${rows})
    string(REPLACE "storm " "" window "${row}")
    string(APPEND tests
        "add_test(storm_${window} \"${STORM}\" storm:${window})\n"
        "set_tests_properties(storm_${window} PROPERTIES LABELS storm TIMEOUT 600 ENVIRONMENT \"${ENVIRONMENT}\")\n")
endforeach()
file(WRITE ${OUTPUT} "${tests}")
