# n6_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>] [ENVIRONMENT <k=v...>])
# One QtTest executable per unit under test, run headless by ctest.
function(n6_add_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE Qt6::Test ${T_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${T_ENVIRONMENT}"
        TIMEOUT 300)
    if(T_LABELS)
        set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
endfunction()
