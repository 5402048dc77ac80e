# A command-line tool for users, with its manual page: tools/<name>/<name>.cpp and
# <name>_manual.cpp, whose tables give both the --help text and the page that
# tools/manpage writes to man/<name>.1.gz. The tool goes to P/bin and its page to
# P/share/man/man1. Its test <name>_test runs the program, found through <NAME>_PATH.
include(GNUInstallDirs)

function(vultar_add_manual_tool name)
    add_executable(${name} ${name}.cpp ${name}_manual.cpp)
    target_link_libraries(${name} PRIVATE vultar_core)
    install(TARGETS ${name} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${CMAKE_BINARY_DIR}/man/${name}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    # The tests are added after the tools, hence the call at the end of the top folder
    # (its argument written out now, as deferred calls read variables only when they run).
    cmake_language(EVAL CODE "cmake_language(DEFER DIRECTORY [[${CMAKE_SOURCE_DIR}]]
                                             CALL _vultar_attach_manual_tool [[${name}]])")
endfunction()

# The tool's own test and the install test run the program, so it is built before them.
function(_vultar_attach_manual_tool name)
    if(TARGET ${name}_test)
        string(TOUPPER ${name} upper)
        add_dependencies(${name}_test ${name})
        target_compile_definitions(${name}_test PRIVATE ${upper}_PATH="$<TARGET_FILE:${name}>")
    endif()
    if(TARGET install_test)
        add_dependencies(install_test ${name})
    endif()
endfunction()
