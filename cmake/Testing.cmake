include(GoogleTest)
find_package(GTest REQUIRED)

# quillmate_add_test(name SOURCES ... LIBS ...)
function(quillmate_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} quillmate_testsupport GTest::gtest GTest::gtest_main)
    quillmate_warnings(${name})
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
        PROPERTIES TIMEOUT 120
        DISCOVERY_TIMEOUT 60)
endfunction()

# Sanitizer builds run many times slower. A pathological test's timeout only
# turns a hang into a failure, so it grows with them.
if(QUILLMATE_SANITIZE)
    set(QUILLMATE_PATHOLOGICAL_TIMEOUT 300)
else()
    set(QUILLMATE_PATHOLOGICAL_TIMEOUT 30)
endif()
