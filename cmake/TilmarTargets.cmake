# tilmar_add_library(<name> [LIBS ...]): a static library of every .cpp in the
# calling folder (not its subfolders); the source root is the include root.
function(tilmar_add_library name)
    cmake_parse_arguments(A "" "" "LIBS" ${ARGN})
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
    if(NOT srcs)
        message(FATAL_ERROR "library ${name}: no .cpp or .c file in ${CMAKE_CURRENT_SOURCE_DIR}")
    endif()
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# tilmar_add_gtest(<name> LABEL <label> [TIMEOUT <seconds>] [SOURCES ...]
# [LIBS ...]): a GoogleTest program in build/tests whose cases CTest discovers
# one by one. Without SOURCES it takes every .cpp of the calling folder.
function(tilmar_add_gtest name)
    cmake_parse_arguments(T "" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(NOT T_SOURCES)
        file(GLOB T_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    endif()
    add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        TILMAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        TILMAR_BINARY_DIR="${CMAKE_BINARY_DIR}"
        TILMAR_TEST_BIN_DIR="${CMAKE_BINARY_DIR}/tests")
    set(properties LABELS "${T_LABEL}")
    if(T_TIMEOUT)
        list(APPEND properties TIMEOUT ${T_TIMEOUT})
    endif()
    if(TILMAR_TSAN)
        # Any report fails the test, in the test program and in the game
        # programs it starts, which inherit the variable.
        list(APPEND properties ENVIRONMENT
            "TSAN_OPTIONS=halt_on_error=1:exitcode=66:second_deadlock_stack=1")
    endif()
    gtest_discover_tests(${name}
        PROPERTIES ${properties}
        DISCOVERY_TIMEOUT 120)
endfunction()

# tilmar_add_benchmark(<name> SOURCES ... LIBS ...): a Google Benchmark program
# in build/bench; built with everything, run by hand.
function(tilmar_add_benchmark name)
    cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${B_SOURCES})
    target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
