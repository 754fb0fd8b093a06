# Warnings apply to our own targets only, never to third-party headers.
function(velacor_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion)
    if(VELACOR_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# One static library per source folder: velacor_<name>, aliased velacor::<name>.
function(velacor_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(velacor_${name} STATIC ${ARG_SOURCES})
    add_library(velacor::${name} ALIAS velacor_${name})
    target_include_directories(velacor_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(velacor_${name} PUBLIC ${ARG_DEPS})
    velacor_warnings(velacor_${name})
endfunction()

# One test executable per folder, linking only the libraries it tests.
function(velacor_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    velacor_warnings(${name})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# A library of Qt widgets (a ui/ folder or app/): the only code that links Qt.
function(velacor_qt_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    velacor_library(${name} SOURCES ${ARG_SOURCES} DEPS Qt6::Widgets ${ARG_DEPS})
    set_target_properties(velacor_${name} PROPERTIES AUTOMOC ON)
endfunction()
