# Scanning through SANE: the connection, the Select Source dialog and the
# worker that reads a scan. Included from imaging/CMakeLists.txt.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SANE REQUIRED IMPORTED_TARGET sane-backends)

add_library(pixoria_scanner STATIC)
target_sources(pixoria_scanner PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/scanner.cpp ${CMAKE_CURRENT_LIST_DIR}/scanner.h
    ${CMAKE_CURRENT_LIST_DIR}/scannersourcedlg.cpp ${CMAKE_CURRENT_LIST_DIR}/scannersourcedlg.h
    ${CMAKE_CURRENT_LIST_DIR}/scanreader.cpp ${CMAKE_CURRENT_LIST_DIR}/scanreader.h)
pixoria_target_defaults(pixoria_scanner)
target_include_directories(pixoria_scanner PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(pixoria_scanner PUBLIC Qt6::Widgets PRIVATE PkgConfig::SANE)

if(PIXORIA_TESTS)
    pixoria_test(scanner_tests
        ${CMAKE_CURRENT_LIST_DIR}/tests/scanner_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/scanreader_test.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/sanetestbackend.cpp
        ${CMAKE_CURRENT_LIST_DIR}/tests/sanetestbackend.h)
    target_link_libraries(scanner_tests PRIVATE pixoria_scanner PkgConfig::SANE ${CMAKE_DL_LIBS})
    # Where SANE keeps its backends: the tests keep the test backend loaded.
    target_compile_definitions(scanner_tests PRIVATE SANE_BACKEND_DIR="${SANE_LIBDIR}/sane")
endif()
