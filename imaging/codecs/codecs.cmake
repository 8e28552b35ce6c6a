# Codecs of our own, for the formats no library on the system reads or
# writes. Included from imaging/CMakeLists.txt.
add_library(pixoria_owncodecs STATIC)
target_sources(pixoria_owncodecs PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/bytereader.cpp ${CMAKE_CURRENT_LIST_DIR}/bytereader.h
    ${CMAKE_CURRENT_LIST_DIR}/clp.cpp ${CMAKE_CURRENT_LIST_DIR}/clp.h
    ${CMAKE_CURRENT_LIST_DIR}/codecsupport.cpp ${CMAKE_CURRENT_LIST_DIR}/codecsupport.h
    ${CMAKE_CURRENT_LIST_DIR}/gemimg.cpp ${CMAKE_CURRENT_LIST_DIR}/gemimg.h
    ${CMAKE_CURRENT_LIST_DIR}/icocur.cpp ${CMAKE_CURRENT_LIST_DIR}/icocur.h
    ${CMAKE_CURRENT_LIST_DIR}/ilbm.cpp ${CMAKE_CURRENT_LIST_DIR}/ilbm.h
    ${CMAKE_CURRENT_LIST_DIR}/macpaint.cpp ${CMAKE_CURRENT_LIST_DIR}/macpaint.h
    ${CMAKE_CURRENT_LIST_DIR}/msp.cpp ${CMAKE_CURRENT_LIST_DIR}/msp.h
    ${CMAKE_CURRENT_LIST_DIR}/os2bmp.cpp ${CMAKE_CURRENT_LIST_DIR}/os2bmp.h
    ${CMAKE_CURRENT_LIST_DIR}/owncodec.h
    ${CMAKE_CURRENT_LIST_DIR}/packbits.cpp ${CMAKE_CURRENT_LIST_DIR}/packbits.h
    ${CMAKE_CURRENT_LIST_DIR}/pcx.cpp ${CMAKE_CURRENT_LIST_DIR}/pcx.h
    ${CMAKE_CURRENT_LIST_DIR}/wmf.cpp ${CMAKE_CURRENT_LIST_DIR}/wmf.h
    ${CMAKE_CURRENT_LIST_DIR}/wpg.cpp ${CMAKE_CURRENT_LIST_DIR}/wpg.h)
pixoria_target_defaults(pixoria_owncodecs)
target_include_directories(pixoria_owncodecs PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(pixoria_owncodecs PUBLIC Qt6::Gui)

if(PIXORIA_TESTS)
    # ImageMagick reads back what the write-only codecs make; only the tests
    # link it.
    find_package(PkgConfig REQUIRED)
    pkg_check_modules(MAGICKPP REQUIRED IMPORTED_TARGET Magick++)
    pixoria_test(owncodec_tests
        ${CMAKE_CURRENT_LIST_DIR}/tests/clp_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/codectesting.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/codectesting.h
        ${CMAKE_CURRENT_LIST_DIR}/tests/gemimg_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/icocur_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/ilbm_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/macpaint_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/msp_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/os2bmp_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/pcx_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/wmf_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/wpg_test.cpp)
    target_link_libraries(owncodec_tests PRIVATE pixoria_owncodecs PkgConfig::MAGICKPP)
endif()

if(PIXORIA_FUZZ)
    # As pixoria_fuzzer() of fuzz/, with the entry points and seed corpora
    # kept beside the codecs.
    set(PIXORIA_FUZZ_SECONDS 10 CACHE STRING "Seconds each fuzzer runs as a test")

    function(pixoria_owncodec_fuzzer name)
        set(dir ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/fuzz)
        add_executable(${name} ${dir}/${name}.cpp)
        target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_options(${name} PRIVATE -fsanitize=fuzzer)
        target_link_libraries(${name} PRIVATE pixoria_owncodecs)
        set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
        add_test(NAME ${name}
            COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                    $<TARGET_FILE:${name}> -max_total_time=${PIXORIA_FUZZ_SECONDS}
                    -rss_limit_mb=2048 -print_final_stats=1 ${corpus} ${dir}/corpus/${name})
        set_tests_properties(${name} PROPERTIES TIMEOUT 300)
        file(MAKE_DIRECTORY ${corpus})
    endfunction()

    pixoria_owncodec_fuzzer(clp_fuzz)
    pixoria_owncodec_fuzzer(gemimg_fuzz)
    pixoria_owncodec_fuzzer(ilbm_fuzz)
    pixoria_owncodec_fuzzer(msp_fuzz)
endif()
