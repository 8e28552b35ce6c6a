# Compiler settings shared by every target of the project.

if(CMAKE_CXX_COMPILER_LAUNCHER STREQUAL "")
    find_program(PIXORIA_CCACHE ccache)
    if(PIXORIA_CCACHE)
        set(CMAKE_CXX_COMPILER_LAUNCHER ${PIXORIA_CCACHE})
    endif()
endif()

set(PIXORIA_SANITIZER_FLAGS "")
if(PIXORIA_SANITIZE)
    set(PIXORIA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                                -fno-omit-frame-pointer)
endif()
if(PIXORIA_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "The fuzz entry points need clang (CMAKE_CXX_COMPILER=clang++)")
    endif()
    list(APPEND PIXORIA_SANITIZER_FLAGS -fsanitize=fuzzer-no-link)
endif()
add_compile_options(${PIXORIA_SANITIZER_FLAGS})
if(PIXORIA_SANITIZE)
    add_link_options(-fsanitize=address,undefined)
endif()

# Warnings on every target of ours; generated moc/rcc sources are spared the
# pedantic extras.
function(pixoria_target_defaults target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                                             -Wnon-virtual-dtor -Wcast-align -Woverloaded-virtual)
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_BYTEARRAY
                                                 QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()

# A library of one subsystem folder.
function(pixoria_library target)
    add_library(${target} STATIC)
    pixoria_target_defaults(${target})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# A GoogleTest program beside the code it tests; every case is its own ctest
# entry, run headless.
function(pixoria_test target)
    add_executable(${target} ${ARGN})
    pixoria_target_defaults(${target})
    target_link_libraries(${target} PRIVATE pixoria_testing GTest::gtest GTest::gmock)
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy")
endfunction()
